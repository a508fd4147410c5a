#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

// The simulator's end of the line: non-blocking reads and writes on the
// pseudo-terminal master, paced like a serial line when a baud rate is set,
// every wait cut short by the server's wake descriptor, every byte logged.
//
// Log format, one line per chunk: "RX " for bytes from the program, "TX " for
// bytes to it, then the bytes escaped by EscapeBytes.
class SimWire {
public:
    enum class Event { Input, Timeout, Stop, ClientClosed };

    // clientCloseFd, when not -1, becomes readable when a client closes the
    // line (see PseudoTerminal::ClientCloseFd).
    SimWire(int masterFd, int wakeFd, int32_t baud, int clientCloseFd = -1);

    bool OpenLog(const std::string& path, std::string& errorText);
    // Waits for input; timeoutMs < 0 waits without limit.
    Event WaitForInput(int timeoutMs);
    // Reads what has arrived into bytes; paced, returns once the bytes would
    // have come in over the line. False on a stop or a broken line.
    bool Receive(std::string& bytes);
    // Writes all bytes, paced. False on a stop or a broken line.
    bool Send(const std::string& bytes);
    // Sleeps unless stopped first; false on a stop.
    bool Pause(std::chrono::milliseconds duration);

private:
    using Clock = std::chrono::steady_clock;
    bool WaitUntil(Clock::time_point when);
    bool WaitWritable();
    bool WriteSome(const char* data, size_t size, size_t& written);
    void Log(const char* direction, const std::string& bytes);

    int masterFd;
    int wakeFd;
    int clientCloseFd;
    Clock::duration byteTime{0}; // 10 bit times; zero: no pacing
    Clock::time_point inClock;   // when the last received byte has fully arrived
    Clock::time_point outClock;  // when the last sent byte has fully gone out
    std::ofstream log;
};
