#include "serial/network/NetworkConnection.h"

#include "serial/SystemError.h"
#include "serial/network/NetworkAddress.h"
#include "serial/network/SocketLayer.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#endif

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

HostLookup hostLookup = ::getaddrinfo;

namespace {

// A lookup on a helper thread, so that a name service that does not answer
// cannot hold the caller past its deadline. The thread owns its share of the
// state and frees the result itself when nobody waits for it any more.
struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    int status = 0;
    addrinfo* result = nullptr;
};

// False when the deadline passed first; otherwise status is the lookup's.
bool ResolveWithin(const NetworkAddress& address, Deadline deadline, int& status,
                   addrinfo*& result) {
    auto lookup = std::make_shared<Lookup>();
    const HostLookup resolve = hostLookup;
    std::thread([lookup, resolve, host = address.host, port = address.port] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int status = resolve(host.c_str(), port.c_str(), &hints, &found);
        std::lock_guard<std::mutex> lock(lookup->mutex);
        if (lookup->abandoned) {
            if (status == 0 && found)
                ::freeaddrinfo(found);
            return;
        }
        lookup->status = status;
        lookup->result = status == 0 ? found : nullptr;
        lookup->finished = true;
        lookup->done.notify_one();
    }).detach();
    std::unique_lock<std::mutex> lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&] { return lookup->finished; })) {
        lookup->abandoned = true;
        return false;
    }
    status = lookup->status;
    result = lookup->result;
    return true;
}

// " (HOST port PORT)", the end of every reason about a connection.
std::string Where(const NetworkAddress& address) {
    return " (" + address.host + " port " + address.port + ")";
}

// " within 3 s", or with a tenth for a limit that is not whole seconds.
std::string Within(int limitMs) {
    std::string seconds = std::to_string(limitMs / 1000);
    if (limitMs % 1000 >= 100)
        seconds += "." + std::to_string(limitMs % 1000 / 100);
    return " within " + seconds + " s";
}

} // namespace

NetworkConnection::~NetworkConnection() {
    Close();
}

void NetworkConnection::Close() {
    if (fd < 0)
        return;
    SocketLayer::CloseSocket(fd);
    fd = -1;
    if (!closedByServer)
        Note("disconnected");
}

bool NetworkConnection::Connect(const NetworkAddress& address, std::string& reason, int limitMs) {
    Close();
    closedByServer = false;
    if (!SocketLayer::Start(reason))
        return false;
    const Deadline deadline = DeadlineIn(limitMs);
    addrinfo* found = nullptr;
    int status = 0;
    if (!ResolveWithin(address, deadline, status, found)) {
        reason =
            OneLineReason("no answer from the name service" + Within(limitMs) + Where(address));
        return false;
    }
    if (status != 0) {
        reason = OneLineReason(SocketLayer::LookupErrorText(status) + Where(address));
        return false;
    }
    int error = SocketLayer::timedOut;
    for (const addrinfo* to = found; to && fd < 0 && MillisecondsLeft(deadline) > 0;
         to = to->ai_next)
        fd = SocketLayer::ConnectWithin(*to, deadline, error);
    ::freeaddrinfo(found);
    if (fd < 0) {
        reason =
            OneLineReason(SocketLayer::ErrorText(error) + Where(address) +
                          (error == SocketLayer::timedOut ? ", no answer" + Within(limitMs) : ""));
        return false;
    }
    Note("connected", address.host + " port " + address.port);
    SocketLayer::Tune(fd);
    return true;
}

bool NetworkConnection::Reconnect(const NetworkAddress& address, Deadline deadline) {
    if (MillisecondsLeft(deadline) <= retryPauseMs)
        return false;
    Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(retryPauseMs));
    // Should this fail, the close before it says best what went wrong.
    std::string ignored;
    return Connect(address, ignored, std::min(connectLimitMs, MillisecondsLeft(deadline)));
}

void NetworkConnection::Note(const char* what, const std::string& text) const {
    if (notes)
        notes(what, text);
}
