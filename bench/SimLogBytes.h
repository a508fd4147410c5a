#pragma once

#include <cstdint>
#include <string>

// Bytes that crossed the simulated line, counted from a SIM log ("RX " and
// "TX " lines, escapes \r \n \\ \xNN one byte each) from byte offset on.
struct LineBytes {
    int64_t toController = 0; // RX: written by the program
    int64_t toProgram = 0;    // TX: the controller's replies
    int64_t Total() const { return toController + toProgram; }
};

LineBytes CountLoggedBytes(const std::string& logPath, std::streamoff offset = 0);
