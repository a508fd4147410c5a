#include "support/ScriptedLine.h"

#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

struct ScriptedLine::State {
    PseudoTerminal terminal;
    int wakePipe[2] = {-1, -1};
};

ScriptedLine::ScriptedLine() : state(std::make_unique<State>()) {}

ScriptedLine::~ScriptedLine() {
    Close();
}

bool ScriptedLine::Open(std::string& error) {
    if (!state->terminal.Open(error))
        return false;
    if (::pipe(state->wakePipe) != 0) {
        error = "pipe failed";
        return false;
    }
    return true;
}

const std::string& ScriptedLine::Name() const {
    return state->terminal.SlavePath();
}

int ScriptedLine::MasterFd() const {
    return state->terminal.MasterFd();
}

bool ScriptedLine::IsOpen() const {
    return state->terminal.IsOpen();
}

bool ScriptedLine::WaitReadable(int timeoutMs) {
    pollfd fds[2] = {{state->terminal.MasterFd(), POLLIN, 0}, {state->wakePipe[0], POLLIN, 0}};
    const int count = state->terminal.IsOpen() ? 2 : 1;
    pollfd* watched = state->terminal.IsOpen() ? fds : fds + 1;
    for (;;) {
        const int ready = ::poll(watched, count, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && !fds[1].revents;
    }
}

long ScriptedLine::Read(char* buffer, std::size_t size) {
    return static_cast<long>(::read(state->terminal.MasterFd(), buffer, size));
}

long ScriptedLine::Write(const char* data, std::size_t size) {
    return static_cast<long>(::write(state->terminal.MasterFd(), data, size));
}

bool ScriptedLine::Sleep(int milliseconds) {
    pollfd wake{state->wakePipe[0], POLLIN, 0};
    return ::poll(&wake, 1, milliseconds) <= 0;
}

void ScriptedLine::HangUp() {
    state->terminal.HangUp();
}

void ScriptedLine::Stop() {
    const char stop = 's';
    if (state->wakePipe[1] >= 0)
        (void)!::write(state->wakePipe[1], &stop, 1);
}

void ScriptedLine::Close() {
    for (int& fd : state->wakePipe)
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    state->terminal.Close();
}
