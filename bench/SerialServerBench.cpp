// The network port's cost, through Debian's ser2net on 127.0.0.1 in front of
// SIM's pseudo-terminal, side by side with the pseudo-terminal itself:
//
// 1. A SweepForPeak of SAMPLES samples through rfc2217:// with SIM paced at
//    19200 baud, alternating round by round with the same sweep on the
//    pseudo-terminal; each against the wire time (10 bit times a byte) of the
//    bytes that crossed, counted from SIM's log. Target: the networked sweep
//    at most 1.03 times the direct one (median of the rounds' ratios).
// 2. OpenPort (connection, settings and handshake) then ClosePort through
//    socket:// and rfc2217:// against the same on the pseudo-terminal, each
//    on an unpaced SIM of its own, alternating.
//
// Usage: bench_serial_server [SAMPLES [ROUNDS [OPENS]]]   (default 1024 3 20)
#include "bench/PacedSweep.h"
#include "bench/SimLogBytes.h"
#include "calibration/core/PeakSweep.h"
#include "device/AdcLink.h"
#include "sim/SimServer.h"
#include "support/SerialServer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int32_t baud = 19200;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// One sweep through the named port, or false.
bool Sweep(const std::string& port, int32_t samples, const std::string& logPath, PacedRun& run) {
    const auto sweep = [samples] {
        std::vector<int32_t> readings;
        int32_t peak = 0;
        return CalibrationCore::SweepForPeak(samples, readings, peak, AdcLink::ProbeAnalogChannel);
    };
    std::string error;
    if (SweepThroughPort(port, baud, logPath, sweep, run, error))
        return true;
    std::fprintf(stderr, "bench_serial_server: %s: %s\n", port.c_str(), error.c_str());
    return false;
}

double OpenAndClose(const std::string& port) {
    std::string mode, error;
    const auto start = Clock::now();
    if (!AdcLink::OpenPort(port, mode, error)) {
        std::fprintf(stderr, "bench_serial_server: %s: %s\n", port.c_str(), error.c_str());
        std::exit(1);
    }
    AdcLink::ClosePort();
    return Seconds(start);
}

} // namespace

int main(int argc, char** argv) {
    const int32_t samples = argc > 1 ? std::atoi(argv[1]) : 1024;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    const int opens = argc > 3 ? std::atoi(argv[3]) : 20;
    if (samples < 16 || samples > 4096 || rounds < 1 || opens < 1) {
        std::fprintf(stderr, "usage: bench_serial_server [SAMPLES [ROUNDS [OPENS]]]\n");
        return 2;
    }
    const std::string logPath = (std::filesystem::temp_directory_path() /
                                 ("bench_serial_server_" + std::to_string(::getpid()) + ".log"))
                                    .string();
    SimOptions options;
    options.baud = baud;
    options.filterBands = {450};
    options.logPath = logPath;
    SimServer paced(options);
    SimServer unpaced{SimOptions{}}, unpacedToo{SimOptions{}};
    SerialServer server;
    std::string error;
    if (!paced.Start(error) || !unpaced.Start(error) || !unpacedToo.Start(error) ||
        !server.Start({{SerialServer::Kind::Rfc2217, paced.SlavePath()},
                       {SerialServer::Kind::Tcp, unpaced.SlavePath()},
                       {SerialServer::Kind::Rfc2217, unpacedToo.SlavePath()}},
                      error)) {
        std::fprintf(stderr, "bench_serial_server: %s\n", error.c_str());
        return 1;
    }

    std::vector<double> ratios, directToWire, networkToWire;
    for (int round = 1; round <= rounds; ++round) {
        PacedRun directRun, networkRun;
        if (!Sweep(paced.SlavePath(), samples, logPath, directRun) ||
            !Sweep(server.PortName(0), samples, logPath, networkRun))
            return 1;
        const double direct = directRun.seconds, directWire = directRun.wireSeconds;
        const double network = networkRun.seconds, networkWire = networkRun.wireSeconds;
        ratios.push_back(network / direct);
        directToWire.push_back(direct / directWire);
        networkToWire.push_back(network / networkWire);
        std::printf("round %d: direct %.3f s (wire %.3f s, %.4f), rfc2217 %.3f s (wire %.3f s, "
                    "%.4f), rfc2217 / direct %.4f\n",
                    round, direct, directWire, direct / directWire, network, networkWire,
                    network / networkWire, network / direct);
        std::fflush(stdout);
    }
    std::printf("median over %d rounds (%d samples, %d baud): rfc2217 / direct %.4f "
                "(target at most 1.03); direct / wire %.4f, rfc2217 / wire %.4f\n",
                rounds, samples, baud, Median(ratios), Median(directToWire), Median(networkToWire));

    std::vector<double> directOpens, networkOpens, telnetOpens;
    for (int i = 0; i < opens; ++i) {
        directOpens.push_back(OpenAndClose(unpaced.SlavePath()));
        networkOpens.push_back(OpenAndClose(server.PortName(1)));
        telnetOpens.push_back(OpenAndClose(server.PortName(2)));
    }
    std::printf("open and close with handshake, median of %d: pseudo-terminal %.2f ms, "
                "socket:// %.2f ms, rfc2217:// %.2f ms\n",
                opens, 1000 * Median(directOpens), 1000 * Median(networkOpens),
                1000 * Median(telnetOpens));
    server.Stop();
    paced.Stop();
    unpaced.Stop();
    unpacedToo.Stop();
    std::filesystem::remove(logPath);
    return 0;
}
