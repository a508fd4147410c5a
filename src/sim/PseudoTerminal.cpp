#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
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
    return true;
}

void PseudoTerminal::HangUp() {
    if (masterFd >= 0) {
        ::close(masterFd);
        masterFd = -1;
    }
}

void PseudoTerminal::Close() {
    HangUp();
    if (slaveFd >= 0) {
        ::close(slaveFd);
        slaveFd = -1;
    }
    slavePath.clear();
}
