#include "support/ScriptedController.h"

#include <algorithm>

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
    if (!line.Open(error))
        return false;
    server = std::thread([this] { Serve(); });
    return true;
}

std::string ScriptedController::Finish(int waitMs) {
    if (server.joinable()) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            scriptDone.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return done; });
        }
        line.Stop();
        server.join();
    }
    line.Close();
    std::string report = failure;
    if (!unexpected.empty())
        report += (report.empty() ? "" : "; ") +
                  std::string("unexpected bytes after the script: ") + Printable(unexpected);
    return report;
}

bool ScriptedController::ReadExactly(std::size_t count, std::string& received) {
    while (received.size() < count) {
        if (!line.IsOpen() || !line.WaitReadable(-1))
            return false;
        char buffer[512];
        const std::size_t wanted = std::min(sizeof buffer, count - received.size());
        const long n = line.Read(buffer, wanted);
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
                const long n = line.Write(step.bytes.data() + written, step.bytes.size() - written);
                if (n <= 0)
                    break;
                written += static_cast<std::size_t>(n);
            }
        } else if (step.kind == Step::Kind::PauseFor) {
            if (!line.Sleep(step.milliseconds))
                break;
        } else if (step.kind == Step::Kind::CallFunction) {
            step.function();
        } else {
            line.HangUp();
        }
    }
    MarkDone();
    // Whatever the program writes from here on was not in the script.
    while (line.IsOpen() && line.WaitReadable(-1)) {
        char buffer[512];
        const long n = line.Read(buffer, sizeof buffer);
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
