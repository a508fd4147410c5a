#pragma once

#include <string>

struct NamedPort;

namespace Sim {

// The name under which the programs offer the built-in simulated controller.
extern const char* const portName;

// Linux only: the slave path of this process's own simulated controller, started with
// default options on first use and served until the process ends. Returns ""
// and writes a one-line reason into errorText when it cannot be started.
std::string InProcessPortPath(std::string& errorText);

// The built-in simulated controller as a port that a program offers (see
// DevicePorts::Register): "SIM", opened on this process's own simulator, on a
// pseudo-terminal on Linux (InProcessSim.cpp), in-process on Windows
// (InProcessSimWin32.cpp).
NamedPort InProcessPort();

} // namespace Sim
