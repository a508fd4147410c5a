// What a fresh OpenPort's discard of an earlier holder's input adds to a
// connect, on the built-in SIM (unpaced) and on adc-sim --baud 19200 (a child
// process), each line in turn:
//
// 1. OpenPort (open, settings, discard, handshake with its 100 ms pause after
//    RS) then ClosePort, as the window and vornadc-cli connect;
// 2. the discard alone, SerialPort::DiscardInput with the quiet time that
//    OpenPort gives the default mode, on the same line opened and set up
//    without the link.
//
// Both on an idle line, as a connect normally finds it. Medians over OPENS.
//
// Usage: bench_open_port [OPENS]   (default 21)
#include "bench/Median.h"
#include "device/AdcLink.h"
#include "device/DevicePorts.h"
#include "serial/NamedPort.h"
#include "serial/SerialMode.h"
#include "serial/SerialPort.h"
#include "sim/InProcessSim.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
const char* const defaultMode = "baud=19200 parity=N data=8 stop=1";
constexpr int discardLimitMs = 500; // as OpenPort's

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "bench_open_port: %s\n", what.c_str());
    std::exit(1);
}

double OpenAndClose(const std::string& port) {
    std::string mode, error;
    const auto start = Clock::now();
    if (!AdcLink::OpenPort(port, mode, error))
        Fail(port + ": " + error);
    AdcLink::ClosePort();
    return Milliseconds(start);
}

double DiscardAlone(const std::string& path) {
    SerialPort port;
    SerialMode mode;
    std::string error;
    ParseModeString(defaultMode, mode);
    if (!port.Open(path, error) || !port.Apply(mode, error) || !port.SetTimeouts(1, 500, 1, 100))
        Fail(path + ": " + error);
    const auto start = Clock::now();
    port.DiscardInput(LineQuietMs(mode), discardLimitMs);
    return Milliseconds(start);
}

// adc-sim as a child; its first line of output is the path to open.
pid_t StartAdcSim(std::string& path) {
    int output[2];
    if (::pipe(output) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output[1], 1);
        ::close(output[0]);
        ::execl(ADC_SIM_PATH, ADC_SIM_PATH, "--baud", "19200", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(output[1]);
    char byte = 0;
    while (::read(output[0], &byte, 1) == 1 && byte != '\n')
        path += byte;
    ::close(output[0]);
    return child;
}

} // namespace

int main(int argc, char** argv) {
    const int opens = argc > 1 ? std::atoi(argv[1]) : 21;
    if (opens < 1) {
        std::fprintf(stderr, "usage: bench_open_port [OPENS]\n");
        return 2;
    }
    DevicePorts::Register(Sim::InProcessPort());
    std::string error;
    const std::string simPath = Sim::InProcessPortPath(error);
    std::string pacedPath;
    const pid_t paced = StartAdcSim(pacedPath);
    if (simPath.empty() || paced <= 0 || pacedPath.empty())
        Fail("cannot start the simulators: " + error);

    const struct {
        const char* name;
        std::string port, path;
    } lines[] = {{"SIM", Sim::portName, simPath}, {"adc-sim --baud 19200", pacedPath, pacedPath}};
    for (const auto& line : lines) {
        std::vector<double> connects, discards;
        for (int i = 0; i < opens; ++i) {
            connects.push_back(OpenAndClose(line.port));
            discards.push_back(DiscardAlone(line.path));
        }
        const double connect = Median(connects), discard = Median(discards);
        std::printf("%s, median of %d: OpenPort + ClosePort %.2f ms, the discard alone %.2f ms "
                    "(%.0f%% of the connect)\n",
                    line.name, opens, connect, discard, 100 * discard / connect);
    }
    ::kill(paced, SIGTERM);
    ::waitpid(paced, nullptr, 0);
    return 0;
}
