#pragma once

#include "serial/Deadline.h"

#include <cerrno>
#include <cstddef>
#include <poll.h>
#include <sys/types.h>

// Blocking writes and waits on a file descriptor (a device or a socket) that
// end at a deadline.

// Hands size bytes to fd through put (a write(2) or send(2) on it) before the
// deadline, waiting while fd takes no more. Returns the bytes handed over, or
// -1 when fd failed before any; at the deadline, what has not gone is not
// written.
template <typename Put>
long PutWithin(int fd, const char* data, std::size_t size, Deadline deadline, Put put) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = put(data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return done > 0 ? static_cast<long>(done) : -1;
        pollfd p{fd, POLLOUT, 0};
        const int left = MillisecondsLeft(deadline);
        if (left == 0 || ::poll(&p, 1, left) <= 0)
            break; // time-out
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL))
            return done > 0 ? static_cast<long>(done) : -1;
    }
    return static_cast<long>(done);
}

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
