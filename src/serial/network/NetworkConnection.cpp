#include "serial/network/NetworkConnection.h"

#include "serial/DescriptorWait.h"
#include "serial/SystemError.h"
#include "serial/network/SocketLayer.h"

#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace SocketLayer {

const int timedOut = ETIMEDOUT;

bool Start(std::string&) {
    return true;
}

int ConnectWithin(const addrinfo& to, Deadline deadline, int& error) {
    const int s =
        ::socket(to.ai_family, to.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, to.ai_protocol);
    if (s < 0) {
        error = errno;
        return -1;
    }
    if (::connect(s, to.ai_addr, to.ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            error = errno;
            ::close(s);
            return -1;
        }
        pollfd p{s, POLLOUT, 0};
        int ready = 0;
        while ((ready = ::poll(&p, 1, MillisecondsLeft(deadline))) < 0 && errno == EINTR) {
        }
        error = ETIMEDOUT;
        socklen_t length = sizeof error;
        if (ready > 0 && ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        if (ready < 0)
            error = errno;
        if (error != 0) {
            ::close(s);
            return -1;
        }
    }
    return s;
}

void Tune(int socket) {
    // None may wait for more to fill a segment, nor for a delayed
    // acknowledgement.
    const int on = 1;
    ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
#ifdef SO_NOSIGPIPE
    ::setsockopt(socket, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#endif
}

void CloseSocket(int socket) {
    ::close(socket);
}

std::string LookupErrorText(int status) {
    return ::gai_strerror(status);
}

std::string ErrorText(int error) {
    return SystemErrorText(error);
}

} // namespace SocketLayer

long NetworkConnection::Send(const char* data, std::size_t size, Deadline deadline) {
#ifdef MSG_NOSIGNAL
    const int flags = MSG_NOSIGNAL; // a closed connection is a failed write, not a signal
#else
    const int flags = 0;
#endif
    return PutWithin(fd, data, size, deadline, [this, flags](const char* from, std::size_t n) {
        return ::send(fd, from, n, flags);
    });
}

Readiness NetworkConnection::WaitReadable(Deadline deadline) const {
    return ::WaitReadable(fd, deadline);
}

long NetworkConnection::Receive(char* buffer, std::size_t size) {
#ifdef TCP_QUICKACK
    // A server that leaves Nagle's algorithm on holds each byte after the
    // first until we acknowledge it: acknowledge at once, not up to 40 ms
    // later. Linux turns this off again by itself, so it is set at each read.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, size, 0);
        if (n > 0)
            return static_cast<long>(n);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        // Closed by the server (0), or reset.
        if (!closedByServer)
            Note("closed-by-server", n < 0 ? SystemErrorText(errno) : std::string());
        closedByServer = true;
        return -1;
    }
}
