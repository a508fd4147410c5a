#include "bench/WmPingClient.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace {

uint32_t InternAtom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const uint32_t atom = reply ? reply->atom : 0;
    std::free(reply);
    return atom;
}

} // namespace

WmPingClient::WmPingClient(uint32_t window, std::chrono::milliseconds interval)
    : window(window), interval(interval) {}

WmPingClient::~WmPingClient() {
    int unanswered = 0;
    Finish(unanswered);
}

bool WmPingClient::Start(std::string& error) {
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        error = "no X display (run under Xvfb)";
        return false;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    root = screens.data->root;
    protocolsAtom = InternAtom(connection, "WM_PROTOCOLS");
    pingAtom = InternAtom(connection, "_NET_WM_PING");
    // the answers go to the root window, where a window manager listens: Qt
    // sends them for structure notification, others for substructure
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
    thread = std::thread([this] { Run(); });
    return true;
}

void WmPingClient::StopSending() {
    std::lock_guard<std::mutex> lock(mutex);
    sending = false;
}

std::vector<double> WmPingClient::Finish(int& unanswered) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    if (thread.joinable())
        thread.join();
    if (connection) {
        xcb_disconnect(connection);
        connection = nullptr;
    }
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<double> all = waits;
    unanswered = static_cast<int>(sent.size());
    for (const auto& [id, at] : sent)
        all.push_back(std::chrono::duration<double, std::milli>(Clock::now() - at).count());
    sent.clear();
    return all;
}

void WmPingClient::SendPing(uint32_t id) {
    xcb_client_message_event_t ping{};
    ping.response_type = XCB_CLIENT_MESSAGE;
    ping.format = 32;
    ping.window = window;
    ping.type = protocolsAtom;
    ping.data.data32[0] = pingAtom;
    ping.data.data32[1] = id; // the timestamp field: the answer carries it back
    ping.data.data32[2] = window;
    // no event mask: delivered to the client that made the window
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&ping));
    xcb_flush(connection);
}

void WmPingClient::ReadAnswers() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (message->window == root && message->type == protocolsAtom &&
                message->data.data32[0] == pingAtom && message->data.data32[2] == window) {
                std::lock_guard<std::mutex> lock(mutex);
                const auto it = sent.find(message->data.data32[1]);
                if (it != sent.end()) {
                    waits.push_back(
                        std::chrono::duration<double, std::milli>(Clock::now() - it->second)
                            .count());
                    sent.erase(it);
                }
            }
        }
        std::free(event);
    }
}

void WmPingClient::Run() {
    uint32_t next = 1;
    Clock::time_point due = Clock::now();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (stopping)
                return;
            if (sending && Clock::now() >= due) {
                sent[next] = Clock::now();
                SendPing(next++);
                due += interval; // a steady rate, whatever the answers do
            }
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now());
        pollfd fd{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&fd, 1,
               static_cast<int>(std::max<long long>(1, std::min<long long>(wait.count(), 10))));
        ReadAnswers();
    }
}
