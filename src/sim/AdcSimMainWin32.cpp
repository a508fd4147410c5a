// adc-sim on Windows: the simulated controller over raw TCP (--listen), since
// Windows has no pseudo-terminals. First line of output: the port name to
// open. Ctrl+C, Ctrl+Break or closing the console stops it.

#include "sim/SimListener.h"
#include "sim/SimOptions.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

HANDLE stopEvent = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD) {
    ::SetEvent(stopEvent);
    return TRUE;
}

} // namespace

int main(int argc, char** argv) {
    SimOptions options;
    int exitStatus = 0;
    if (!TakeSimCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, exitStatus))
        return exitStatus;
    std::string errorText;
    if (options.listenHost.empty()) {
        std::fprintf(stderr,
                     "adc-sim: on Windows the simulator needs --listen HOST:PORT (there are no "
                     "pseudo-terminals); vornadc-cli has SIM built in\n\n%s",
                     SimUsage().c_str());
        return 2;
    }
    stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    SimListener listener(options);
    if (!listener.Start(errorText)) {
        std::fprintf(stderr, "adc-sim: %s\n", errorText.c_str());
        return 1;
    }
    std::printf("%s\n", listener.PortName().c_str());
    std::fflush(stdout);
    ::WaitForSingleObject(stopEvent, INFINITE);
    listener.Stop();
    return 0;
}
