#include "sim/SimClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

SimClient::SimClient(const std::string& path) {
    fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return;
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
}

SimClient::~SimClient() {
    if (fd >= 0)
        ::close(fd);
}

bool SimClient::Write(const std::string& bytes) {
    return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string SimClient::ReadLine(std::chrono::milliseconds timeout, size_t maxBytes) {
    std::string line;
    while (line.size() < maxBytes) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0 || !(p.revents & POLLIN))
            break;
        char byte = 0;
        if (::read(fd, &byte, 1) != 1)
            break;
        line += byte;
        if (byte == '\n')
            break;
    }
    return line;
}

std::string SimClient::ReadUntilQuiet(std::chrono::milliseconds quiet) {
    std::string bytes;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(quiet.count())) <= 0 || !(p.revents & POLLIN))
            return bytes;
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return bytes;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

bool SimClient::SawHangUp(std::chrono::milliseconds timeout) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0)
        return false;
    if (p.revents & (POLLHUP | POLLERR))
        return true;
    char byte = 0;
    return ::read(fd, &byte, 1) <= 0;
}
