#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The scripted controller's end of the line, one twin per platform: the
// master side of a pseudo-terminal (ScriptedLine.cpp), or on Windows an
// in-process line that the program opens as a port of its own name
// (ScriptedLineWin32.cpp). Every wait ends when Stop is called.
class ScriptedLine {
public:
    ScriptedLine();
    ~ScriptedLine();
    ScriptedLine(const ScriptedLine&) = delete;
    ScriptedLine& operator=(const ScriptedLine&) = delete;

    bool Open(std::string& error);
    // The port name the program opens.
    const std::string& Name() const;
    // The pseudo-terminal's master, whose settings are those the program set;
    // -1 in-process.
    int MasterFd() const;
    bool IsOpen() const;

    // Waits up to timeoutMs (-1: without limit) for bytes from the program:
    // true when they (or a hang-up) are there, false on time-out or Stop.
    bool WaitReadable(int timeoutMs);
    // Bytes from the program; 0 or less when the line has closed.
    long Read(char* buffer, std::size_t size);
    long Write(const char* data, std::size_t size);
    // Sleeps; false when Stop ended it early.
    bool Sleep(int milliseconds);
    void HangUp();
    void Stop();
    void Close();

private:
    struct State;
    std::unique_ptr<State> state;
};
