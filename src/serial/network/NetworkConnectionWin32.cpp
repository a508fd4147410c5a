// The TCP connection of the network ports on Winsock: the same bounds and
// messages as on POSIX sockets. Winsock has no MSG_NOSIGNAL (it raises no
// signal) and no quick acknowledgement to ask for.
#include "serial/network/NetworkConnection.h"

#include "serial/SystemError.h"
#include "serial/SystemErrorWin32.h"
#include "serial/network/HostLookup.h"
#include "serial/network/NetworkAddress.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

// Winsock is started once for the process and left running until it ends.
bool WinsockStarted() {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
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
    Close();
}

void NetworkConnection::Close() {
    if (fd < 0)
        return;
    ::closesocket(Socket(fd));
    fd = -1;
    if (!closedByServer)
        Note("disconnected");
}

bool NetworkConnection::Connect(const NetworkAddress& address, std::string& reason, int limitMs) {
    Close();
    closedByServer = false;
    if (!WinsockStarted()) {
        reason = WindowsErrorText(WSASYSNOTREADY);
        return false;
    }
    const Deadline deadline = DeadlineIn(limitMs);
    addrinfo* found = nullptr;
    int status = 0;
    if (!ResolveWithin(address, deadline, status, found)) {
        reason =
            OneLineReason("no answer from the name service" + Within(limitMs) + Where(address));
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
                          (error == WSAETIMEDOUT ? ", no answer" + Within(limitMs) : ""));
        return false;
    }
    fd = static_cast<int>(s);
    Note("connected", address.host + " port " + address.port);
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
    const int error = n < 0 ? ::WSAGetLastError() : 0;
    if (n < 0 && error == WSAEWOULDBLOCK)
        return 0;
    // Closed by the server (0), or reset.
    if (!closedByServer)
        Note("closed-by-server",
             n < 0 ? WindowsErrorText(static_cast<unsigned long>(error)) : std::string());
    closedByServer = true;
    return -1;
}
