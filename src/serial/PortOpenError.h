#pragma once

#include <string>
#include <vector>

// The system's text for a port that could not be opened, with a hint for the
// two failures an operator can mend: a permission failure names the group that
// owns the device node (joining it is the usual fix; "dialout" when the node
// cannot be looked at), and a missing device lists the ports that do exist.
// Always one line of at most 255 characters.
std::string PortOpenErrorText(int errorNumber, const std::string& devicePath);

// On Windows (PortOpenErrorWin32.cpp) errorNumber is the system's error code
// (GetLastError), and a refused open hints at another program holding the port.

// The same with the existing ports given, for a missing device.
std::string PortOpenErrorText(int errorNumber, const std::string& devicePath,
                              const std::vector<std::string>& existingPorts);

// " (ports here: A, B, ...)" with as many ports as fit after base in a reason,
// or " (no serial ports found)".
std::string PortListHint(const std::string& base, const std::vector<std::string>& ports);
