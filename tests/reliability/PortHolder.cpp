#include "reliability/PortHolder.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

PortHolder::~PortHolder() {
    Release();
}

bool PortHolder::Hold(const std::string& path, std::string& error) {
    Release();
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        return error = "pipe failed", false;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return error = "pipe failed", false;
    }
    child = ::fork();
    if (child == 0) {
        ::dup2(toChild[0], 0);
        ::dup2(fromChild[1], 1);
        ::execl(HOLD_PORT, HOLD_PORT, path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    input = toChild[1];
    // "held\n" within a few seconds, or the holder failed
    std::string said;
    pollfd ready{fromChild[0], POLLIN, 0};
    while (said.find('\n') == std::string::npos && ::poll(&ready, 1, 5000) > 0) {
        char buffer[64];
        const ssize_t n = ::read(fromChild[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        said.append(buffer, static_cast<size_t>(n));
    }
    ::close(fromChild[0]);
    if (child < 0 || said != "held\n") {
        error = "hold-port did not take " + path + " (said '" + said + "')";
        Release();
        return false;
    }
    return true;
}

void PortHolder::Release() {
    if (input >= 0) {
        ::close(input);
        input = -1;
    }
    if (child > 0) {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        child = -1;
    }
}
