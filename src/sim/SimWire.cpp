#include "sim/SimWire.h"

#include "serial/ByteEscape.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

SimWire::SimWire(int masterFd, int wakeFd, int32_t baud, int clientCloseFd)
    : masterFd(masterFd), wakeFd(wakeFd), clientCloseFd(clientCloseFd) {
    if (baud > 0)
        byteTime = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(10)) / baud;
    ::fcntl(masterFd, F_SETFL, ::fcntl(masterFd, F_GETFL) | O_NONBLOCK);
}

bool SimWire::OpenLog(const std::string& path, std::string& errorText) {
    log.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!log) {
        errorText = "cannot write the log file " + path;
        return false;
    }
    return true;
}

SimWire::Event SimWire::WaitForInput(int timeoutMs) {
    // poll leaves a negative descriptor alone
    pollfd fds[3] = {{wakeFd, POLLIN, 0}, {masterFd, POLLIN, 0}, {clientCloseFd, POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(fds, 3, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0 || fds[0].revents != 0)
            return Event::Stop;
        if (ready == 0)
            return Event::Timeout;
        if (fds[2].revents != 0)
            return Event::ClientClosed;
        return Event::Input;
    }
}

bool SimWire::Receive(std::string& bytes) {
    char buffer[512];
    const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        bytes.clear();
        return true;
    }
    if (n <= 0)
        return false;
    bytes.assign(buffer, static_cast<size_t>(n));
    Log("RX", bytes);
    if (byteTime == Clock::duration::zero())
        return true;
    // The pseudo-terminal hands the bytes over at once; a serial line would
    // still be shifting them in.
    inClock = std::max(inClock, Clock::now()) + byteTime * n;
    return WaitUntil(inClock);
}

bool SimWire::Send(const std::string& bytes) {
    if (bytes.empty())
        return true;
    Log("TX", bytes);
    size_t sent = 0;
    if (byteTime == Clock::duration::zero()) {
        while (sent < bytes.size()) {
            size_t written = 0;
            if (!WriteSome(bytes.data() + sent, bytes.size() - sent, written))
                return false;
            sent += written;
        }
        return true;
    }
    // Hand over each byte once its ten bit times have passed; a late wake-up
    // makes several bytes due at once, and the clock keeps the line's pace.
    // A reply starts shifting out when the command has come in; the thread
    // waking late from that wait is the simulator's delay, not the line's, so
    // up to one byte time of it is made up. Later sends start from now.
    outClock = std::max({outClock, inClock, Clock::now() - byteTime});
    while (sent < bytes.size()) {
        const auto now = Clock::now();
        const auto due =
            std::min<size_t>(bytes.size() - sent, static_cast<size_t>((now - outClock) / byteTime));
        if (due == 0) {
            if (!WaitUntil(outClock + byteTime))
                return false;
            continue;
        }
        size_t written = 0;
        if (!WriteSome(bytes.data() + sent, due, written))
            return false;
        sent += written;
        outClock += byteTime * static_cast<int64_t>(written);
    }
    return true;
}

bool SimWire::Pause(std::chrono::milliseconds duration) {
    return WaitUntil(Clock::now() + duration);
}

bool SimWire::WaitUntil(Clock::time_point when) {
    for (;;) {
        const auto now = Clock::now();
        if (now >= when)
            return true;
        // Byte times are fractions of a millisecond (0.52 ms at 19200 baud):
        // a wait rounded up to whole milliseconds would add up to a millisecond
        // to every command and every reply, a slower line than the baud rate.
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(when - now).count();
        const timespec timeout{static_cast<time_t>(left / 1000000000),
                               static_cast<long>(left % 1000000000)};
        pollfd wake{wakeFd, POLLIN, 0};
        const int ready = ::ppoll(&wake, 1, &timeout, nullptr);
        if (ready > 0 || (ready < 0 && errno != EINTR))
            return false;
    }
}

bool SimWire::WaitWritable() {
    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {masterFd, POLLOUT, 0}};
    for (;;) {
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && fds[0].revents == 0 && (fds[1].revents & POLLOUT) != 0;
    }
}

bool SimWire::WriteSome(const char* data, size_t size, size_t& written) {
    for (;;) {
        const ssize_t n = ::write(masterFd, data, size);
        if (n > 0) {
            written = static_cast<size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // A full buffer (the program is not reading): wait, without spinning.
        if (n < 0 && errno == EAGAIN) {
            if (!WaitWritable())
                return false;
            continue;
        }
        return false;
    }
}

void SimWire::Log(const char* direction, const std::string& bytes) {
    if (!log.is_open())
        return;
    log << direction << ' ' << EscapeBytes(bytes) << '\n';
    log.flush();
}
