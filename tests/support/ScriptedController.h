#pragma once

#include "support/ScriptedLine.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A controller that follows a script on the master side of a pseudo-terminal
// (in-process on Windows, see ScriptedLine):
// it expects exact byte strings from the program and answers with chosen
// bytes, partial lines, pauses or a hang-up. An expectation without a reply
// is a silent controller. Build the script, Start, let the program talk to
// SlavePath(), then Finish to learn whether it went as scripted.
class ScriptedController {
public:
    ScriptedController() = default;
    ~ScriptedController();
    ScriptedController(const ScriptedController&) = delete;
    ScriptedController& operator=(const ScriptedController&) = delete;

    ScriptedController& Expect(const std::string& bytes);
    ScriptedController& Reply(const std::string& bytes);
    ScriptedController& Pause(int milliseconds);
    ScriptedController& HangUp();
    // Runs function on the controller's thread at this point of the script,
    // while the program waits for the next reply.
    ScriptedController& Call(std::function<void()> function);

    // Opens the pseudo-terminal and starts serving the script on a thread.
    bool Start(std::string& error);
    // The port name the program opens.
    const std::string& SlavePath() const { return line.Name(); }
    // The master side: its terminal settings are those the program set on the slave.
    int MasterFd() const { return line.MasterFd(); }

    // Waits up to waitMs for the script to run to its end, stops serving, and
    // returns "" when every expectation was met and nothing else was written,
    // otherwise what went wrong. The bytes written after the script count as
    // unexpected.
    std::string Finish(int waitMs = 2000);

private:
    struct Step {
        enum class Kind { ExpectBytes, ReplyBytes, PauseFor, HangUpLine, CallFunction } kind;
        std::string bytes;
        int milliseconds = 0;
        std::function<void()> function;
    };

    void Serve();
    bool ReadExactly(std::size_t count, std::string& received);
    void MarkDone();

    ScriptedLine line;
    std::vector<Step> script;
    std::thread server;
    std::mutex mutex;
    std::condition_variable scriptDone;
    bool done = false;
    std::string failure;    // first deviation from the script
    std::string unexpected; // bytes written after the script ended
};

// The connection handshake with a range reply, then the RS command answered.
void ScriptHandshake(ScriptedController& controller, const std::string& rangeReply);

// Shows control characters visibly, for failure messages.
std::string Printable(const std::string& bytes);
