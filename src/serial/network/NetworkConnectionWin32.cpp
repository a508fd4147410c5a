// The TCP connection of the network ports on Winsock: the same bounds and
// messages as on POSIX sockets. Winsock has no MSG_NOSIGNAL (it raises no
// signal) and no quick acknowledgement to ask for.
#include "serial/network/NetworkConnection.h"

#include "serial/SystemError.h"
#include "serial/SystemErrorWin32.h"
#include "serial/network/SocketLayer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

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

} // namespace

namespace SocketLayer {

const int timedOut = WSAETIMEDOUT;

// Winsock is started once for the process and left running until it ends.
bool Start(std::string& reason) {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        reason = WindowsErrorText(WSASYSNOTREADY);
    return started;
}

int ConnectWithin(const addrinfo& to, Deadline deadline, int& error) {
    const SOCKET s = ::socket(to.ai_family, to.ai_socktype, to.ai_protocol);
    if (s == INVALID_SOCKET) {
        error = ::WSAGetLastError();
        return -1;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, to.ai_addr, static_cast<int>(to.ai_addrlen)) != 0) {
        error = ::WSAGetLastError();
        if (error != WSAEWOULDBLOCK) {
            ::closesocket(s);
            return -1;
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
            return -1;
        }
    }
    return static_cast<int>(s); // a SOCKET's value fits 32 bits
}

void Tune(int socket) {
    // None may wait for more to fill a segment.
    const BOOL on = TRUE;
    ::setsockopt(Socket(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                 sizeof on);
}

void CloseSocket(int socket) {
    ::closesocket(Socket(socket));
}

std::string LookupErrorText(int status) {
    return WindowsErrorText(static_cast<unsigned long>(status));
}

std::string ErrorText(int error) {
    return WindowsErrorText(static_cast<unsigned long>(error));
}

} // namespace SocketLayer

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
