// The TCP connection of the network ports on Winsock: the same bounds and
// messages as on POSIX sockets. Winsock has no MSG_NOSIGNAL (it raises no
// signal) and no quick acknowledgement to ask for.
#include "serial/network/NetworkConnection.h"

#include "serial/SystemError.h"
#include "serial/SystemErrorWin32.h"
#include "serial/network/NetworkAddress.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

HostLookup hostLookup = ::getaddrinfo;

namespace {

// Winsock is started once for the process and left running until it ends.
bool WinsockStarted() {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

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

std::string Where(const NetworkAddress& address) {
    return " (" + address.host + " port " + address.port + ")";
}

SOCKET Socket(int fd) {
    return static_cast<SOCKET>(static_cast<unsigned int>(fd));
}

// Waits until s is ready for events or the deadline has passed: >0 ready,
// 0 timed out, <0 failed.
int PollWithin(SOCKET s, short events, Deadline deadline, short& revents) {
    WSAPOLLFD p{s, events, 0};
    const int ready = ::WSAPoll(&p, 1, MillisecondsLeft(deadline));
    revents = p.revents;
    return ready;
}

// Connects a non-blocking socket to one address before the deadline; the
// socket, or INVALID_SOCKET with error set.
SOCKET ConnectWithin(const addrinfo& to, Deadline deadline, int& error) {
    const SOCKET s = ::socket(to.ai_family, to.ai_socktype, to.ai_protocol);
    if (s == INVALID_SOCKET) {
        error = ::WSAGetLastError();
        return INVALID_SOCKET;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, to.ai_addr, static_cast<int>(to.ai_addrlen)) != 0) {
        error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK) {
            ::closesocket(s);
            return INVALID_SOCKET;
        }
        short revents = 0;
        const int ready = PollWithin(s, POLLOUT, deadline, revents);
        error = WSAETIMEDOUT;
        int length = sizeof error;
        if (ready > 0)
            ::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
        if (ready < 0)
            error = ::WSAGetLastError();
        if (error != 0) {
            ::closesocket(s);
            return INVALID_SOCKET;
        }
    }
    return s;
}

} // namespace

NetworkConnection::~NetworkConnection() {
    if (fd >= 0)
        ::closesocket(Socket(fd));
}

bool NetworkConnection::Connect(const NetworkAddress& address, std::string& reason) {
    if (!WinsockStarted()) {
        reason = WindowsErrorText(WSASYSNOTREADY);
        return false;
    }
    const Deadline deadline = DeadlineIn(connectLimitMs);
    addrinfo* found = nullptr;
    int status = 0;
    if (!ResolveWithin(address, deadline, status, found)) {
        reason = OneLineReason("no answer from the name service within 3 s" + Where(address));
        return false;
    }
    if (status != 0) {
        reason =
            OneLineReason(WindowsErrorText(static_cast<unsigned long>(status)) + Where(address));
        return false;
    }
    int error = WSAETIMEDOUT;
    SOCKET s = INVALID_SOCKET;
    for (const addrinfo* to = found; to && s == INVALID_SOCKET && MillisecondsLeft(deadline) > 0;
         to = to->ai_next)
        s = ConnectWithin(*to, deadline, error);
    ::freeaddrinfo(found);
    if (s == INVALID_SOCKET) {
        reason =
            OneLineReason(WindowsErrorText(static_cast<unsigned long>(error)) + Where(address) +
                          (error == WSAETIMEDOUT ? ", no answer within 3 s" : ""));
        return false;
    }
    fd = static_cast<int>(s);
    // Each command and reply is a few bytes: none may wait for more to fill a
    // segment.
    const BOOL on = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    return true;
}

long NetworkConnection::Send(const char* data, std::size_t size, Deadline deadline) {
    std::size_t done = 0;
    while (done < size) {
        const int n = ::send(Socket(fd), data + done, static_cast<int>(size - done), 0);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (::WSAGetLastError() != WSAEWOULDBLOCK)
            return done > 0 ? static_cast<long>(done) : -1;
        short revents = 0;
        if (MillisecondsLeft(deadline) == 0 ||
            PollWithin(Socket(fd), POLLOUT, deadline, revents) <= 0)
            break; // time-out
        if (revents & (POLLERR | POLLHUP | POLLNVAL))
            return done > 0 ? static_cast<long>(done) : -1;
    }
    return static_cast<long>(done);
}

Readiness NetworkConnection::WaitReadable(Deadline deadline) const {
    short revents = 0;
    const int ready = PollWithin(Socket(fd), POLLIN, deadline, revents);
    if (ready < 0)
        return Readiness::Failed;
    return ready == 0 ? Readiness::TimedOut : Readiness::Readable;
}

long NetworkConnection::Receive(char* buffer, std::size_t size) {
    const int n = ::recv(Socket(fd), buffer, static_cast<int>(size), 0);
    if (n > 0)
        return n;
    if (n < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK)
        return 0;
    return -1; // closed by the server (0), or reset
}
