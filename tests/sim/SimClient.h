#pragma once

#include <chrono>
#include <string>

// The program's side of a simulated line in tests: plain POSIX open and
// termios on the slave path, reads bounded by poll time-outs.
class SimClient {
public:
    explicit SimClient(const std::string& path);
    ~SimClient();
    SimClient(const SimClient&) = delete;
    SimClient& operator=(const SimClient&) = delete;

    bool IsOpen() const { return fd >= 0; }
    bool Write(const std::string& bytes);
    // Bytes up to and including the next LF; stops early (without LF) when
    // nothing comes for timeout, when maxBytes have come, or on a hang-up.
    std::string ReadLine(std::chrono::milliseconds timeout = std::chrono::milliseconds(1000),
                         size_t maxBytes = 4096);
    // Everything that arrives until the line stays quiet for quiet.
    std::string ReadUntilQuiet(std::chrono::milliseconds quiet);
    // True when the line has hung up (poll reports POLLHUP or a read fails).
    bool SawHangUp(std::chrono::milliseconds timeout);

private:
    int fd = -1;
};
