#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Settings of one simulated controller, shared by the adc-sim flags and the
// in-process SIM port. The defaults give a well-behaved controller.
struct SimOptions {
    bool echo = false;       // --echo: each command line comes back before its reply
    bool rangeProbe = false; // --range-probe: "RC,1;" answers "RC,1!", range found by WL probes
    double noiseSigma = 3.0; // --noise SIGMA: detector noise, counts (standard deviation)
    uint64_t seed = 1;       // --seed N: same seed and same commands give the same readings
    int32_t baud = 0;        // --baud B: 10 bit times per byte both ways; 0: no pacing
    std::vector<double> filterBands; // --filter W[,W2,W3]: band centres (nm); empty: no filter
    int32_t dropEvery = 0;           // --fault drop:K: every K-th command gets no reply; 0: off
    int32_t hangUpAfter = 0; // --fault hangup:K: the line hangs up after the K-th reply; 0: off
    bool garbage = false;    // --fault garbage: each reply is a line of random bytes
    bool babble = false;     // --fault babble: after the first reply, bytes without LF forever
    std::string logPath;     // --log FILE: every byte both ways; empty: no log
    std::string listenHost;  // --listen HOST:PORT: served over raw TCP; empty: a pseudo-terminal
    std::string listenPort;  // "0": the system chooses
};

// Parses adc-sim's arguments (without the program name) into options.
// "--name value" and "--name=value" both work; --fault may repeat.
// On failure writes a one-line reason into errorText.
bool ParseSimArguments(const std::vector<std::string>& arguments, SimOptions& options,
                       std::string& errorText);

// The --help text: every flag with what the user sees.
std::string SimUsage();

// adc-sim's command line (argv after the program name): false when the
// program is to end at once with exitStatus, after printing the usage for
// --help (0) or the reason and the usage for a usage error (2).
bool TakeSimCommandLine(const std::vector<std::string>& arguments, SimOptions& options,
                        int& exitStatus);
