#include "sim/SimSocket.h"

#include "serial/SystemErrorWin32.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace {

SOCKET Handle(long long socket) {
    return static_cast<SOCKET>(socket);
}

int WaitFor(SOCKET s, short events, int timeoutMs, const std::atomic<bool>& stop) {
    return WaitInSlices(timeoutMs, stop, [&](int milliseconds) {
        WSAPOLLFD p{s, events, 0};
        return ::WSAPoll(&p, 1, milliseconds);
    });
}

} // namespace

SimSocket::~SimSocket() {
    CloseConnection();
    if (listener >= 0)
        ::closesocket(Handle(listener));
}

bool SimSocket::Listen(const std::string& host, const std::string& port, std::string& errorText) {
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        errorText = WindowsErrorText(WSASYSNOTREADY);
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (status != 0) {
        errorText = WindowsErrorText(static_cast<unsigned long>(status)) + " (" + host + ")";
        return false;
    }
    int error = 0;
    for (const addrinfo* at = found; at && listener < 0; at = at->ai_next) {
        const SOCKET s = ::socket(at->ai_family, at->ai_socktype, at->ai_protocol);
        if (s != INVALID_SOCKET && ::bind(s, at->ai_addr, static_cast<int>(at->ai_addrlen)) == 0 &&
            ::listen(s, 1) == 0) {
            listener = static_cast<long long>(s);
            break;
        }
        error = ::WSAGetLastError();
        if (s != INVALID_SOCKET)
            ::closesocket(s);
    }
    ::freeaddrinfo(found);
    if (listener < 0)
        errorText = WindowsErrorText(static_cast<unsigned long>(error)) + " (" + host + " port " +
                    port + ")";
    return listener >= 0;
}

int SimSocket::Port() const {
    sockaddr_storage address{};
    int length = sizeof address;
    if (::getsockname(Handle(listener), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return address.ss_family == AF_INET6
               ? ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port)
               : ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

bool SimSocket::Accept() {
    CloseConnection();
    while (WaitFor(Handle(listener), POLLRDNORM, -1, stop) > 0) {
        const SOCKET s = ::accept(Handle(listener), nullptr, nullptr);
        if (s == INVALID_SOCKET)
            continue;
        const BOOL on = TRUE;
        ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        connection = static_cast<long long>(s);
        return true;
    }
    return false;
}

long SimSocket::Receive(char* buffer, std::size_t size, int timeoutMs) {
    const int ready = WaitFor(Handle(connection), POLLRDNORM, timeoutMs, stop);
    if (ready <= 0)
        return ready;
    const int n = ::recv(Handle(connection), buffer, static_cast<int>(size), 0);
    return n > 0 ? n : -1;
}

bool SimSocket::Send(const char* data, std::size_t size) {
    std::size_t sent = 0;
    while (sent < size) {
        const int n = ::send(Handle(connection), data + sent, static_cast<int>(size - sent), 0);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void SimSocket::CloseConnection() {
    if (connection >= 0)
        ::closesocket(Handle(connection));
    connection = -1;
}
