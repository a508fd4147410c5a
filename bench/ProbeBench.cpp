// Exchanges per second of ProbeAnalogChannel against a peer that answers at
// once. Each probe is two exchanges (WA then RA); the figure counts probes.
// Usage: bench_probe [PROBES]
#include "device/AdcLink.h"
#include "sim/PseudoTerminal.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

std::string AnswerTo(const std::string& line) {
    if (line.rfind("RC,1;", 0) == 0)
        return "(240,699)\r\n";
    if (line.rfind("RA,1;", 0) == 0)
        return "RA,1,1234\r\n";
    return line.substr(0, 2) + ",0!\r\n";
}

// Answers every line from the program until stop is set.
void Answer(int masterFd, const std::atomic<bool>& stop) {
    std::string line;
    char buffer[256];
    while (!stop) {
        pollfd p{masterFd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] != '\n') {
                line.push_back(buffer[i]);
                continue;
            }
            const std::string answer = AnswerTo(line);
            if (::write(masterFd, answer.data(), answer.size()) < 0)
                return;
            line.clear();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const int probes = argc > 1 ? std::atoi(argv[1]) : 5000;
    PseudoTerminal terminal;
    std::string error;
    if (probes <= 0 || !terminal.Open(error)) {
        std::fprintf(stderr, "bench_probe: %s\n",
                     probes <= 0 ? "PROBES must be positive" : error.c_str());
        return 1;
    }
    std::atomic<bool> stop{false};
    std::thread peer(Answer, terminal.MasterFd(), std::cref(stop));
    std::string mode;
    if (!AdcLink::OpenPort(terminal.SlavePath(), mode, error)) {
        std::fprintf(stderr, "bench_probe: %s\n", error.c_str());
        stop = true;
        peer.join();
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    int failures = 0;
    for (int i = 0; i < probes; ++i) {
        int32_t value = i % 4096;
        if (!AdcLink::ProbeAnalogChannel(value) || value != 1234)
            ++failures;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    AdcLink::ClosePort();
    stop = true;
    peer.join();
    std::printf("%d probes (%d exchanges) in %.3f s: %.0f probes/s, %.0f exchanges/s, %d failed\n",
                probes, 2 * probes, elapsed.count(), probes / elapsed.count(),
                2 * probes / elapsed.count(), failures);
    return failures == 0 ? 0 : 1;
}
