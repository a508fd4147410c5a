#pragma once

#include "sim/SimOptions.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class PseudoTerminal;
class SimController;
class SimWire;

// Serves one SimController on the master side of a pseudo-terminal, on a
// thread of its own. Clients open SlavePath() like any serial port.
class SimServer {
public:
    explicit SimServer(const SimOptions& options = SimOptions());
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    // Opens the pseudo-terminal (and the log) and starts serving.
    bool Start(std::string& errorText);
    // Stops serving and closes the line; safe to call more than once.
    void Stop();

    const std::string& SlavePath() const { return slavePath; }
    // False once the line has hung up (hang-up fault) or serving has stopped.
    bool IsServing() const { return serving; }

private:
    void Serve();
    // Answers every line that bytes complete; false once serving has ended.
    bool HandleBytes(const std::string& bytes, std::string& pending, bool& babbling);
    void WaitUntilRead();

    SimOptions options;
    std::unique_ptr<PseudoTerminal> pty;
    std::unique_ptr<SimController> controller;
    std::unique_ptr<SimWire> wire;
    std::string slavePath;
    std::thread thread;
    std::atomic<bool> serving{false};
    int wakeFds[2] = {-1, -1}; // a byte written to [1] ends every wait of the thread
};
