#pragma once

#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1; // -1 when the process did not exit normally
    std::string out;
    std::string err;
};

// Runs a program with arguments, without a shell, and collects both streams.
ProcessResult RunProcess(const std::vector<std::string>& argv);
