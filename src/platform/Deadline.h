#pragma once

#include <cerrno>
#include <chrono>
#include <poll.h>

// The moment by which a blocking wait must end, and what is left of it in the
// whole milliseconds that poll(2) takes.
using Deadline = std::chrono::steady_clock::time_point;

inline Deadline DeadlineIn(long milliseconds) {
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
}

inline int MillisecondsLeft(Deadline deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    return left > 0 ? static_cast<int>(left) : 0;
}

enum class Readiness { Readable, TimedOut, Failed };

// Waits until fd has input (or its end) or the deadline has passed.
inline Readiness WaitReadable(int fd, Deadline deadline) {
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return Readiness::Failed;
        return ready == 0 ? Readiness::TimedOut : Readiness::Readable;
    }
}
