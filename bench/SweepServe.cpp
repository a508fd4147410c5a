// The C++ side of the Python sweep benchmark: connects to the built-in SIM
// (unpaced) once, then for each line "SAMPLES" on stdin runs SweepForPeak as
// vornadc-cli does and prints "SECONDS COUNTS" for the sweep alone.
// Usage: bench_sweep_serve    (driven by bench/python_sweep.py)
#include "calibration/core/PeakSweep.h"
#include "device/AdcLink.h"
#include "device/DevicePorts.h"
#include "serial/NamedPort.h"
#include "sim/InProcessSim.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main() {
    DevicePorts::Register(Sim::InProcessPort());
    std::string mode;
    std::string error;
    if (!AdcLink::OpenPort("SIM", mode, error)) {
        std::fprintf(stderr, "bench_sweep_serve: %s\n", error.c_str());
        return 1;
    }
    int32_t samples = 0;
    while (std::cin >> samples) {
        std::vector<int32_t> readings;
        int32_t counts = 0;
        const auto start = std::chrono::steady_clock::now();
        const bool swept =
            CalibrationCore::SweepForPeak(samples, readings, counts, AdcLink::ProbeAnalogChannel);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!swept) {
            std::fprintf(stderr, "bench_sweep_serve: Error in calibration\n");
            return 1;
        }
        std::printf("%.9f %d\n", elapsed.count(), counts);
        std::fflush(stdout);
    }
    AdcLink::ClosePort();
    return 0;
}
