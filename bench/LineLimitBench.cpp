// A calibration sweep against SIM paced like a serial line, against the time
// the line itself needs: elapsed time of the sweep divided by the wire time
// (10 bit times a byte) of every byte that crossed in both directions, counted
// from SIM's log. 1.00 is the line's limit; what lies above it is our own
// waiting (and SIM's). Each round runs every baud rate once, side by side.
// Usage: bench_line_limit [SAMPLES [ROUNDS [BAUD...]]]   (default 1024 3 9600 19200 38400)
#include "Median.h"
#include "SimLogBytes.h"
#include "calibration/PeakSweep.h"
#include "device/AdcLink.h"
#include "sim/SimServer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    double seconds = 0;
    LineBytes bytes;
    double wireSeconds = 0;
    int32_t peak = 0;
};

bool SweepOnce(int32_t baud, int32_t samples, Run& run) {
    const std::string logPath = (std::filesystem::temp_directory_path() /
                                 ("bench_line_limit_" + std::to_string(::getpid()) + ".log"))
                                    .string();
    SimOptions options;
    options.baud = baud;
    options.filterBands = {450};
    options.logPath = logPath;
    SimServer sim(options);
    std::string error;
    std::string mode = "baud=" + std::to_string(baud) + " parity=N data=8 stop=1";
    if (!sim.Start(error) || !AdcLink::OpenPort(sim.SlavePath(), mode, error)) {
        std::fprintf(stderr, "bench_line_limit: %s\n", error.c_str());
        return false;
    }
    // The handshake has been answered and read in full; the sweep's bytes start here.
    const auto offset = static_cast<std::streamoff>(std::filesystem::file_size(logPath));
    std::vector<int32_t> readings;
    const auto start = std::chrono::steady_clock::now();
    const bool swept =
        CalibrationCore::SweepForPeak(samples, readings, run.peak, AdcLink::ProbeAnalogChannel);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    AdcLink::ClosePort();
    sim.Stop();
    run.bytes = CountLoggedBytes(logPath, offset);
    run.wireSeconds = run.bytes.Total() * 10.0 / baud;
    std::filesystem::remove(logPath);
    if (!swept)
        std::fprintf(stderr, "bench_line_limit: the sweep at %d baud failed\n", baud);
    return swept;
}

} // namespace

int main(int argc, char** argv) {
    const int32_t samples = argc > 1 ? std::atoi(argv[1]) : 1024;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    std::vector<int32_t> bauds;
    for (int i = 3; i < argc; ++i)
        bauds.push_back(std::atoi(argv[i]));
    if (bauds.empty())
        bauds = {9600, 19200, 38400};
    if (samples < 16 || samples > 4096 || rounds < 1 ||
        std::any_of(bauds.begin(), bauds.end(), [](int32_t b) { return b <= 0; })) {
        std::fprintf(stderr, "usage: bench_line_limit [SAMPLES [ROUNDS [BAUD...]]]\n");
        return 2;
    }
    std::map<int32_t, std::vector<double>> ratios;
    for (int round = 0; round < rounds; ++round)
        for (const int32_t baud : bauds) {
            Run run;
            if (!SweepOnce(baud, samples, run))
                return 1;
            const double ratio = run.seconds / run.wireSeconds;
            ratios[baud].push_back(ratio);
            const double exchanges = 2.0 * samples;
            std::printf("round %d  %6d baud: %lld bytes (%lld out, %lld in), wire %.3f s, "
                        "sweep %.3f s, ratio %.4f, our share %.2f ms per exchange, peak %d\n",
                        round + 1, baud, static_cast<long long>(run.bytes.Total()),
                        static_cast<long long>(run.bytes.toController),
                        static_cast<long long>(run.bytes.toProgram), run.wireSeconds, run.seconds,
                        ratio, 1000 * (run.seconds - run.wireSeconds) / exchanges, run.peak);
            std::fflush(stdout);
        }
    for (const int32_t baud : bauds)
        std::printf("median  %6d baud: ratio %.4f over %d rounds (%d samples)\n", baud,
                    Median(ratios[baud]), rounds, samples);
    return 0;
}
