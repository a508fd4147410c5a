#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <string>

// The listening socket of adc-sim --listen and its one connection at a time:
// plain TCP, one twin per platform (SimSocket.cpp on POSIX sockets,
// SimSocketWin32.cpp on Winsock). Every wait ends within a fifth of a second
// of stop being set.
class SimSocket {
public:
    explicit SimSocket(const std::atomic<bool>& stop) : stop(stop) {}
    ~SimSocket();
    SimSocket(const SimSocket&) = delete;
    SimSocket& operator=(const SimSocket&) = delete;

    // Listens on HOST:PORT (a name or an address; port 0 lets the system
    // choose); false with a one-line reason.
    bool Listen(const std::string& host, const std::string& port, std::string& errorText);
    // The port listened on.
    int Port() const;
    // Waits for the next connection; false once stopped.
    bool Accept();
    // Waits up to timeoutMs (-1: without limit) for bytes of the connection:
    // the count read, 0 when none came, -1 when it closed or serving stopped.
    long Receive(char* buffer, std::size_t size, int timeoutMs);
    // Sends every byte; false when the connection broke.
    bool Send(const char* data, std::size_t size);
    void CloseConnection();

private:
    const std::atomic<bool>& stop;
    long long listener = -1;
    long long connection = -1;
};

// A wait cut into slices of a fifth of a second, stop looked at between them:
// pollFor(milliseconds) waits once (> 0 ready, < 0 failed, 0 nothing yet).
// Returns 1 when ready, 0 when timeoutMs (>= 0) passed, -1 when stopped or
// failed.
template <typename Poll>
int WaitInSlices(int timeoutMs, const std::atomic<bool>& stop, Poll pollFor) {
    constexpr int slice = 200;
    for (int waited = 0; !stop; waited += slice) {
        const int ready = pollFor(timeoutMs < 0 ? slice : std::min(slice, timeoutMs - waited));
        if (ready != 0)
            return ready > 0 ? 1 : -1;
        if (timeoutMs >= 0 && waited + slice >= timeoutMs)
            return 0;
    }
    return -1;
}
