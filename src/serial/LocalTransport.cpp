#include "serial/LocalTransport.h"

#include "serial/DescriptorWait.h"
#include "serial/PortOpenError.h"
#include "serial/SerialMode.h"
#include "serial/SystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>

SerialInfoRequest serialInfoRequest = [](int fd, unsigned long request, serial_struct* info) {
    return ::ioctl(fd, request, info);
};
#endif

namespace {

bool BaudConstant(int baud, speed_t& speed) {
    static const struct {
        int baud;
        speed_t speed;
    } table[] = {{110, B110},       {300, B300},      {600, B600},       {1200, B1200},
                 {2400, B2400},     {4800, B4800},    {9600, B9600},     {19200, B19200},
                 {38400, B38400},   {57600, B57600},  {115200, B115200}, {230400, B230400},
                 {460800, B460800}, {921600, B921600}};
    for (const auto& entry : table)
        if (entry.baud == baud) {
            speed = entry.speed;
            return true;
        }
    return false;
}

// A USB adapter holds what it receives for its latency timer (16 ms by default
// on common ones) before passing it on, so every reply of a few bytes would
// wait that long. Low latency asks the driver to pass bytes on at once (the
// timer then runs 1 ms). Ports without the setting (pseudo-terminals, most
// built-in UARTs) refuse the request, which changes nothing.
void AskForLowLatency(int fd) {
#ifdef __linux__
    serial_struct info{};
    if (serialInfoRequest(fd, TIOCGSERIAL, &info) != 0 || (info.flags & ASYNC_LOW_LATENCY) != 0)
        return;
    info.flags |= ASYNC_LOW_LATENCY;
    serialInfoRequest(fd, TIOCSSERIAL, &info);
#else
    (void)fd;
#endif
}

} // namespace

LocalTransport::~LocalTransport() {
    if (fd >= 0) {
        // The mode belongs to the terminal, not to this descriptor: a pseudo-
        // terminal whose other side stays open would keep refusing others.
        ::ioctl(fd, TIOCNXCL);
        ::close(fd); // releases the lock as well
    }
}

bool LocalTransport::Open(const std::string& devicePath, std::string& systemText) {
    if (devicePath.empty()) {
        systemText = PortOpenErrorText(ENOENT, devicePath);
        return false;
    }
    const int opened = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0) {
        systemText = PortOpenErrorText(errno, devicePath);
        return false;
    }
    // The lock belongs to this open description, so it also keeps out a second
    // process running as root, which lock files and TIOCEXCL do not.
    if (::flock(opened, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(opened);
        systemText = SystemErrorText(error);
        return false;
    }
    // flock is advisory: a plain open(2) by any other program would still get
    // in and take reply bytes. The terminal's exclusive mode refuses it (EBUSY)
    // to everyone but root. A device that is no terminal has no such mode, and
    // Apply refuses it anyway.
    ::ioctl(opened, TIOCEXCL);
    AskForLowLatency(opened);
    fd = opened;
    return true;
}

bool LocalTransport::Apply(const SerialMode& mode, std::string& systemText) {
    speed_t speed = 0;
    if (!NamesSpeedAndDataBits(mode) || !BaudConstant(mode.baud, speed)) {
        systemText = SystemErrorText(EINVAL);
        return false;
    }
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        systemText = SystemErrorText(errno);
        return false;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    settings.c_cflag |= sizes[mode.dataBits - 5] | CLOCAL | CREAD;
    if (mode.parity == 'e')
        settings.c_cflag |= PARENB;
    else if (mode.parity == 'o')
        settings.c_cflag |= PARENB | PARODD;
    if (mode.stopBits == 2)
        settings.c_cflag |= CSTOPB;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0 ||
        ::tcsetattr(fd, TCSANOW, &settings) != 0) {
        systemText = SystemErrorText(errno);
        return false;
    }
    return true;
}

long LocalTransport::Write(const char* data, std::size_t size) {
    return PutWithin(fd, data, size, WriteDeadline(size),
                     [this](const char* from, std::size_t n) { return ::write(fd, from, n); });
}

void LocalTransport::Drain() {
    ::tcdrain(fd);
}

PortTransport::ReadResult LocalTransport::ReadByte(char& byte) {
    // A byte already waiting is taken at once: the descriptor is non-blocking,
    // and a reply that has arrived whole then costs one call per byte rather
    // than a poll and a read each. Only an empty queue starts the time-out.
    for (;;) {
        const ssize_t n = ::read(fd, &byte, 1);
        if (n == 1)
            return ReadResult::Byte;
        if (n < 0 && errno == EINTR)
            continue;
        // Nothing queued reads as 0 bytes on a raw terminal (or EAGAIN); so
        // does a hung-up line, which the wait below tells apart.
        if (n == 0 || (n < 0 && errno == EAGAIN))
            break;
        return ReadResult::Failed;
    }
    const Deadline deadline = ReadDeadline();
    for (;;) {
        const Readiness ready = WaitReadable(fd, deadline);
        if (ready != Readiness::Readable)
            return ready == Readiness::TimedOut ? ReadResult::TimedOut : ReadResult::Failed;
        const ssize_t n = ::read(fd, &byte, 1);
        if (n == 1)
            return ReadResult::Byte;
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        // End of file on a terminal means the line hung up: a failed read.
        return ReadResult::Failed;
    }
}

void LocalTransport::DiscardInput() {
    ::tcflush(fd, TCIFLUSH);
}
