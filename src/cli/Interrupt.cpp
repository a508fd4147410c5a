#include "cli/Interrupt.h"

#include <csignal>

namespace CliInterrupt {

namespace {

// Lock-free, so setting it is safe in a signal handler.
CalibrationCore::StopRequest requested{false};
static_assert(CalibrationCore::StopRequest::is_always_lock_free);

void OnInterrupt(int) {
    requested = true;
}

} // namespace

void Catch() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    // The handler is used once: a second Ctrl+C kills as usual. Without
    // SA_RESTART a wait in progress ends early, and is taken up again.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

CalibrationCore::StopRequest& Requested() {
    return requested;
}

} // namespace CliInterrupt
