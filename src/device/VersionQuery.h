#pragma once

#include <string>

// The controller's version string as the RS-232 setup page shows it after a
// connect: pending replies are drained first (costing one read time-out; at
// most 64 lines, so a device that never stops sending cannot hold it), then
// "ID;\r\n" is sent and one reply read; no reply gives "unavailable".
std::string QueryVersion();

// The same exchange; false, with version empty, when no reply came.
bool QueryVersion(std::string& version);
