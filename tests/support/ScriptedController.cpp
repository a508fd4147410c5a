#include "support/ScriptedController.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

ScriptedController::~ScriptedController() {
    Finish(0);
}

ScriptedController& ScriptedController::Expect(const std::string& bytes) {
    script.push_back({Step::Kind::ExpectBytes, bytes, 0, {}});
    return *this;
}

ScriptedController& ScriptedController::Reply(const std::string& bytes) {
    script.push_back({Step::Kind::ReplyBytes, bytes, 0, {}});
    return *this;
}

ScriptedController& ScriptedController::Pause(int milliseconds) {
    script.push_back({Step::Kind::PauseFor, {}, milliseconds, {}});
    return *this;
}

ScriptedController& ScriptedController::HangUp() {
    script.push_back({Step::Kind::HangUpLine, {}, 0, {}});
    return *this;
}

ScriptedController& ScriptedController::Call(std::function<void()> function) {
    script.push_back({Step::Kind::CallFunction, {}, 0, std::move(function)});
    return *this;
}

bool ScriptedController::Start(std::string& error) {
    if (!terminal.Open(error))
        return false;
    if (::pipe(wakePipe) != 0) {
        error = "pipe failed";
        return false;
    }
    server = std::thread([this] { Serve(); });
    return true;
}

std::string ScriptedController::Finish(int waitMs) {
    if (server.joinable()) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            scriptDone.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return done; });
        }
        const char stop = 's';
        (void)!::write(wakePipe[1], &stop, 1);
        server.join();
    }
    for (int& fd : wakePipe)
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    terminal.Close();
    std::string report = failure;
    if (!unexpected.empty())
        report += (report.empty() ? "" : "; ") +
                  std::string("unexpected bytes after the script: ") + Printable(unexpected);
    return report;
}

// True when the master has data (or hung up); false when asked to stop.
bool ScriptedController::WaitReadable(int timeoutMs) {
    pollfd fds[2] = {{terminal.MasterFd(), POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    const int count = terminal.IsOpen() ? 2 : 1;
    pollfd* watched = terminal.IsOpen() ? fds : fds + 1;
    for (;;) {
        const int ready = ::poll(watched, count, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || fds[1].revents)
            return false;
        return true;
    }
}

bool ScriptedController::ReadExactly(std::size_t count, std::string& received) {
    while (received.size() < count) {
        if (!terminal.IsOpen() || !WaitReadable(-1))
            return false;
        char buffer[512];
        const std::size_t wanted = std::min(sizeof buffer, count - received.size());
        const ssize_t n = ::read(terminal.MasterFd(), buffer, wanted);
        if (n <= 0)
            return false;
        received.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

void ScriptedController::MarkDone() {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
    scriptDone.notify_all();
}

void ScriptedController::Serve() {
    for (std::size_t i = 0; i < script.size(); ++i) {
        const Step& step = script[i];
        if (step.kind == Step::Kind::ExpectBytes) {
            std::string received;
            if (!ReadExactly(step.bytes.size(), received) || received != step.bytes) {
                failure = "step " + std::to_string(i) + ": expected " + Printable(step.bytes) +
                          ", received " + Printable(received);
                break;
            }
        } else if (step.kind == Step::Kind::ReplyBytes) {
            std::size_t written = 0;
            while (written < step.bytes.size()) {
                const ssize_t n = ::write(terminal.MasterFd(), step.bytes.data() + written,
                                          step.bytes.size() - written);
                if (n <= 0)
                    break;
                written += static_cast<std::size_t>(n);
            }
        } else if (step.kind == Step::Kind::PauseFor) {
            pollfd wake{wakePipe[0], POLLIN, 0};
            if (::poll(&wake, 1, step.milliseconds) > 0)
                break;
        } else if (step.kind == Step::Kind::CallFunction) {
            step.function();
        } else {
            terminal.HangUp();
        }
    }
    MarkDone();
    // Whatever the program writes from here on was not in the script.
    while (terminal.IsOpen() && WaitReadable(-1)) {
        char buffer[512];
        const ssize_t n = ::read(terminal.MasterFd(), buffer, sizeof buffer);
        if (n <= 0)
            break;
        unexpected.append(buffer, static_cast<std::size_t>(n));
    }
}

void ScriptHandshake(ScriptedController& controller, const std::string& rangeReply) {
    controller.Expect("RC,1;\r\n").Reply(rangeReply + "\r\n").Expect("RS;\r\n").Reply("RS,0!\r\n");
}

std::string Printable(const std::string& bytes) {
    std::string text = "'";
    for (const char c : bytes) {
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (static_cast<unsigned char>(c) < 32)
            text += "\\x" + std::to_string(static_cast<unsigned char>(c));
        else
            text += c;
    }
    if (text.size() > 200)
        text = text.substr(0, 200) + "...";
    return text + "'";
}
