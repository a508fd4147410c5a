#pragma once

#include <string>

// A pseudo-terminal pair whose slave side looks like a serial device to the
// program. The master side is served by a simulated or scripted controller.
class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens a raw (no echo, no line translation) pair. The slave stays open
    // here too, so the master does not see a hang-up while no client holds it.
    bool Open(std::string& errorText);
    // Closes the master: a client on the slave sees the line hang up.
    void HangUp();
    void Close();

    bool IsOpen() const { return masterFd >= 0; }
    int MasterFd() const { return masterFd; }
    const std::string& SlavePath() const { return slavePath; }

    // A client that is killed cannot end the terminal's exclusive mode, and
    // the kernel keeps it while this side holds the pair: every later open but
    // root's would be refused. This descriptor becomes readable when a client
    // closes the slave (-1 where the system cannot tell).
    int ClientCloseFd() const { return closeWatchFd; }
    // Once ClientCloseFd is readable: takes its news and ends the exclusive mode.
    void ReleaseExclusiveMode();

private:
    int masterFd = -1;
    int slaveFd = -1;
    int closeWatchFd = -1;
    std::string slavePath;
};
