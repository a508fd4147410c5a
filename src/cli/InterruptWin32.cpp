#include "cli/Interrupt.h"

#include <windows.h>

namespace CliInterrupt {

namespace {

CalibrationCore::StopRequest requested{false};

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    // A second Ctrl+C goes to the system's handler, which ends the program.
    if (requested.exchange(true))
        return FALSE;
    return TRUE;
}

} // namespace

void Catch() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

CalibrationCore::StopRequest& Requested() {
    return requested;
}

} // namespace CliInterrupt
