#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1; // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

#include <functional>

// Runs a program with arguments, without a shell, and collects both streams.
ProcessResult RunProcess(const std::vector<std::string>& argv);

// The same, sending the program signalNumber once ready() holds (asked every
// 10 ms while it runs).
ProcessResult RunProcessAndSignal(const std::vector<std::string>& argv, int signalNumber,
                                  const std::function<bool()>& ready);
