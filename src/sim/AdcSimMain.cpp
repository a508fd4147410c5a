// adc-sim: the simulated controller on a pseudo-terminal (or with --listen
// over raw TCP), for tools and tests outside this process. First line of
// output: the path or port name to open.

#include "sim/SimListener.h"
#include "sim/SimOptions.h"
#include "sim/SimServer.h"

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    SimOptions options;
    int exitStatus = 0;
    if (!TakeSimCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, exitStatus))
        return exitStatus;
    std::string errorText;

    // Block the stop signals before the serving thread starts, so that it
    // inherits the mask and only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimServer server(options);
    SimListener listener(options);
    const bool listening = !options.listenHost.empty();
    if (!(listening ? listener.Start(errorText) : server.Start(errorText))) {
        std::fprintf(stderr, "adc-sim: %s\n", errorText.c_str());
        return 1;
    }
    std::printf("%s\n", listening ? listener.PortName().c_str() : server.SlavePath().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    server.Stop();
    listener.Stop();
    return 0;
}
