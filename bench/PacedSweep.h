#pragma once

#include "bench/Median.h"
#include "bench/SimLogBytes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One sweep against a fresh in-process SIM paced like a serial line at a baud
// rate (10 bit times a byte), opened through AdcLink::OpenPort, against the
// wire time of every byte that crossed during the sweep, counted from SIM's
// log (the handshake before it is left out). 1.00 is the line's limit.
struct PacedRun {
    double seconds = 0;    // the sweep, elapsed
    double cpuSeconds = 0; // the sweeping thread's CPU time (user and system)
    LineBytes bytes;
    double wireSeconds = 0;
    double Ratio() const { return seconds / wireSeconds; }
};

// Runs sweep on the open link; false, with the reason, when SIM or the port
// could not be set up or the sweep failed. prepare, when given, runs on the
// open link before the sweep, untimed and uncounted.
bool SweepOnPacedSim(int32_t baud, const std::function<bool()>& sweep, PacedRun& run,
                     std::string& error, const std::function<void()>& prepare = {});

// The same on a port that reaches a SIM paced at baud and logging to
// logPath, opened with that baud rate and closed again after the sweep.
bool SweepThroughPort(const std::string& port, int32_t baud, const std::string& logPath,
                      const std::function<bool()>& sweep, PacedRun& run, std::string& error,
                      const std::function<void()>& prepare = {});
