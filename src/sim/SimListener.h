#pragma once

#include "sim/SimOptions.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class SimController;
class SimSocket;

// adc-sim --listen: one SimController served over raw TCP, one connection at
// a time, on a thread of its own, so that other tools reach it as
// socket://HOST:PORT. Paced and faulted as on the pseudo-terminal: a hang-up
// closes the connection after its reply, and the next connection finds the
// controller as it was left.
class SimListener {
public:
    explicit SimListener(const SimOptions& options);
    ~SimListener();
    SimListener(const SimListener&) = delete;
    SimListener& operator=(const SimListener&) = delete;

    // Listens on the options' host and port (and opens the log) and starts
    // serving; false with a one-line reason.
    bool Start(std::string& errorText);
    void Stop();

    // "socket://HOST:PORT" with the port listened on.
    std::string PortName() const;

private:
    void Serve();
    void ServeConnection();

    SimOptions options;
    std::atomic<bool> stopping{false};
    std::unique_ptr<SimSocket> socket;
    std::unique_ptr<SimController> controller;
    std::thread thread;
};
