#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#ifdef __linux__
#include <sys/inotify.h>
#endif
#include <termios.h>
#include <unistd.h>

PseudoTerminal::~PseudoTerminal() {
    Close();
}

bool PseudoTerminal::Open(std::string& errorText) {
    Close();
    char name[256] = {};
    struct termios raw {};
    cfmakeraw(&raw);
    if (openpty(&masterFd, &slaveFd, name, &raw, nullptr) != 0) {
        errorText = std::string("openpty: ") + std::strerror(errno);
        masterFd = slaveFd = -1;
        return false;
    }
    ::fcntl(masterFd, F_SETFD, FD_CLOEXEC);
    ::fcntl(slaveFd, F_SETFD, FD_CLOEXEC);
    slavePath = name;
#ifdef __linux__
    closeWatchFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (closeWatchFd >= 0 &&
        ::inotify_add_watch(closeWatchFd, name, IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(closeWatchFd);
        closeWatchFd = -1;
    }
#endif
    return true;
}

void PseudoTerminal::ReleaseExclusiveMode() {
    char news[512];
    while (closeWatchFd >= 0 && ::read(closeWatchFd, news, sizeof news) > 0) {
    }
    // While a client holds the line exclusively nobody else but root can open
    // it, so a close is, as a rule, that client going. The slave this side
    // keeps open may end the mode.
    if (slaveFd >= 0)
        ::ioctl(slaveFd, TIOCNXCL);
}

void PseudoTerminal::HangUp() {
    if (masterFd >= 0) {
        ::close(masterFd);
        masterFd = -1;
    }
}

void PseudoTerminal::Close() {
    HangUp();
    if (closeWatchFd >= 0) {
        ::close(closeWatchFd);
        closeWatchFd = -1;
    }
    if (slaveFd >= 0) {
        ::close(slaveFd);
        slaveFd = -1;
    }
    slavePath.clear();
}
