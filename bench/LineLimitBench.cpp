// A calibration sweep against SIM paced like a serial line, against the time
// the line itself needs: elapsed time of the sweep divided by the wire time
// (10 bit times a byte) of every byte that crossed in both directions, counted
// from SIM's log. 1.00 is the line's limit; what lies above it is our own
// waiting (and SIM's). Each round runs every baud rate once, side by side.
// Usage: bench_line_limit [SAMPLES [ROUNDS [BAUD...]]]   (default 1024 3 9600 19200 38400)
#include "bench/PacedSweep.h"
#include "calibration/core/PeakSweep.h"
#include "device/AdcLink.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

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
            PacedRun run;
            int32_t peak = 0;
            std::string error;
            const auto sweep = [&] {
                std::vector<int32_t> readings;
                return CalibrationCore::SweepForPeak(samples, readings, peak,
                                                     AdcLink::ProbeAnalogChannel);
            };
            if (!SweepOnPacedSim(baud, sweep, run, error)) {
                std::fprintf(stderr, "bench_line_limit: %s\n", error.c_str());
                return 1;
            }
            const double ratio = run.Ratio();
            ratios[baud].push_back(ratio);
            const double exchanges = 2.0 * samples;
            std::printf("round %d  %6d baud: %lld bytes (%lld out, %lld in), wire %.3f s, "
                        "sweep %.3f s, ratio %.4f, our share %.2f ms per exchange, peak %d\n",
                        round + 1, baud, static_cast<long long>(run.bytes.Total()),
                        static_cast<long long>(run.bytes.toController),
                        static_cast<long long>(run.bytes.toProgram), run.wireSeconds, run.seconds,
                        ratio, 1000 * (run.seconds - run.wireSeconds) / exchanges, peak);
            std::fflush(stdout);
        }
    for (const int32_t baud : bauds)
        std::printf("median  %6d baud: ratio %.4f over %d rounds (%d samples)\n", baud,
                    Median(ratios[baud]), rounds, samples);
    return 0;
}
