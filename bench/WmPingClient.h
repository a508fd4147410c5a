#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct xcb_connection_t;

// The window manager's side of _NET_WM_PING, as a desktop plays it: a client
// message to the window at a steady rate, which the program sends back to
// the root window. A desktop that waits some seconds for the answer calls the
// program not responding. Runs on a thread of its own with an X connection of
// its own, so it goes on while the program's thread is busy.
class WmPingClient {
public:
    WmPingClient(uint32_t window, std::chrono::milliseconds interval);
    ~WmPingClient();
    WmPingClient(const WmPingClient&) = delete;
    WmPingClient& operator=(const WmPingClient&) = delete;

    // Connects to the display and starts pinging.
    bool Start(std::string& error);
    // No more pings from here; answers to those sent are still timed.
    void StopSending();
    // Stops; the wait of every ping sent, in ms, answered or not (an
    // unanswered one counts until now), and how many went unanswered.
    std::vector<double> Finish(int& unanswered);

private:
    using Clock = std::chrono::steady_clock;
    void Run();
    void SendPing(uint32_t id);
    void ReadAnswers();

    uint32_t window;
    std::chrono::milliseconds interval;
    xcb_connection_t* connection = nullptr;
    uint32_t root = 0;
    uint32_t protocolsAtom = 0;
    uint32_t pingAtom = 0;
    std::thread thread;
    std::mutex mutex;
    bool sending = true;
    bool stopping = false;
    std::map<uint32_t, Clock::time_point> sent;
    std::vector<double> waits; // ms, of the pings answered
};
