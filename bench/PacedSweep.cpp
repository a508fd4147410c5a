#include "bench/PacedSweep.h"

#include "device/AdcLink.h"
#include "sim/SimServer.h"

#include <chrono>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double ThreadCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

bool SweepOnPacedSim(int32_t baud, const std::function<bool()>& sweep, PacedRun& run,
                     std::string& error, const std::function<void()>& prepare) {
    const std::string logPath = (std::filesystem::temp_directory_path() /
                                 ("bench_paced_sweep_" + std::to_string(::getpid()) + ".log"))
                                    .string();
    SimOptions options;
    options.baud = baud;
    options.filterBands = {450};
    options.logPath = logPath;
    SimServer sim(options);
    const bool swept = sim.Start(error) &&
                       SweepThroughPort(sim.SlavePath(), baud, logPath, sweep, run, error, prepare);
    sim.Stop();
    std::filesystem::remove(logPath);
    return swept;
}

bool SweepThroughPort(const std::string& port, int32_t baud, const std::string& logPath,
                      const std::function<bool()>& sweep, PacedRun& run, std::string& error,
                      const std::function<void()>& prepare) {
    std::string mode = "baud=" + std::to_string(baud) + " parity=N data=8 stop=1";
    if (!AdcLink::OpenPort(port, mode, error))
        return false;
    if (prepare)
        prepare();
    // The handshake has been answered and read in full; the sweep's bytes start here.
    const auto offset = static_cast<std::streamoff>(std::filesystem::file_size(logPath));
    const double cpuStart = ThreadCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const bool swept = sweep();
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = ThreadCpuSeconds() - cpuStart;
    AdcLink::ClosePort();
    run.bytes = CountLoggedBytes(logPath, offset);
    run.wireSeconds = run.bytes.Total() * 10.0 / baud;
    if (!swept)
        error = "the sweep at " + std::to_string(baud) + " baud failed";
    return swept;
}
