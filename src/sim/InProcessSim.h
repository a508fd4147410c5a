#pragma once

#include <string>

namespace Sim {

// The slave path of this process's own simulated controller, started with
// default options on first use and served until the process ends. Returns ""
// and writes a one-line reason into errorText when it cannot be started.
std::string InProcessPortPath(std::string& errorText);

} // namespace Sim
