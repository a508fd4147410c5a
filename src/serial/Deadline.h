#pragma once

#include <chrono>

// The moment by which a blocking wait must end, and what is left of it in
// whole milliseconds, as the system's waits take it.
using Deadline = std::chrono::steady_clock::time_point;

// How a wait for input ended.
enum class Readiness { Readable, TimedOut, Failed };

inline Deadline DeadlineIn(long milliseconds) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

inline int MillisecondsLeft(Deadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    return left > 0 ? static_cast<int>(left) : 0;
}
