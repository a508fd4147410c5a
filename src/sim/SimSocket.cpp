#include "sim/SimSocket.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int Fd(long long socket) {
    return static_cast<int>(socket);
}

int WaitFor(int fd, short events, int timeoutMs, const std::atomic<bool>& stop) {
    return WaitInSlices(timeoutMs, stop, [&](int milliseconds) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, milliseconds);
        return ready < 0 && errno == EINTR ? 0 : ready;
    });
}

} // namespace

SimSocket::~SimSocket() {
    CloseConnection();
    if (listener >= 0)
        ::close(Fd(listener));
}

bool SimSocket::Listen(const std::string& host, const std::string& port, std::string& errorText) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (status != 0) {
        errorText = std::string(::gai_strerror(status)) + " (" + host + ")";
        return false;
    }
    int error = 0;
    for (const addrinfo* at = found; at && listener < 0; at = at->ai_next) {
        const int s = ::socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC, at->ai_protocol);
        const int on = 1;
        if (s >= 0 && ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
            ::bind(s, at->ai_addr, at->ai_addrlen) == 0 && ::listen(s, 1) == 0) {
            listener = s;
            break;
        }
        error = errno;
        if (s >= 0)
            ::close(s);
    }
    ::freeaddrinfo(found);
    if (listener < 0)
        errorText = std::string(std::strerror(error)) + " (" + host + " port " + port + ")";
    return listener >= 0;
}

int SimSocket::Port() const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(Fd(listener), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return address.ss_family == AF_INET6
               ? ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port)
               : ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

bool SimSocket::Accept() {
    CloseConnection();
    while (WaitFor(Fd(listener), POLLIN, -1, stop) > 0) {
        const int s = ::accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC);
        if (s < 0)
            continue;
        const int on = 1;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        connection = s;
        return true;
    }
    return false;
}

long SimSocket::Receive(char* buffer, std::size_t size, int timeoutMs) {
    const int ready = WaitFor(Fd(connection), POLLIN, timeoutMs, stop);
    if (ready <= 0)
        return ready;
    const ssize_t n = ::recv(Fd(connection), buffer, size, 0);
    return n > 0 ? static_cast<long>(n) : -1;
}

bool SimSocket::Send(const char* data, std::size_t size) {
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(Fd(connection), data + sent, size - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void SimSocket::CloseConnection() {
    if (connection >= 0)
        ::close(Fd(connection));
    connection = -1;
}
