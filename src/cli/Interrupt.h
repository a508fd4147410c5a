#pragma once

#include "calibration/core/SampleGrid.h"

// Ctrl+C in vornadc-cli: caught, so that a sweep stops at its next probe and
// the port is closed and the log flushed before the program exits with
// status 130. One twin per platform: Interrupt.cpp (SIGINT),
// InterruptWin32.cpp (the console's control handler).
namespace CliInterrupt {

// Catches Ctrl+C from now on; a second one ends the program at once, as
// without this.
void Catch();

// Set once Ctrl+C has come; a sweep given it stops before its next probe.
CalibrationCore::StopRequest& Requested();

} // namespace CliInterrupt
