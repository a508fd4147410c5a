#pragma once

#include "platform/PortRecords.h"

#include <string>
#include <vector>

// Port names as the operator knows them, the built-in simulated controller
// ("SIM") included.
namespace DevicePorts {

// The name of the built-in simulated controller.
extern const char* const simulatorName;

// The device path behind a port name; "SIM" starts the in-process simulated
// controller on first use. Empty, with a reason in systemText, when there is
// no such port.
std::string Resolve(const std::string& portName, std::string& systemText);

// Every port the port list offers, with what is known about it: COM1..COM4,
// the ports the system reports (by full device path), the stable names in
// the by-id folder, and "SIM". Asked anew at each call, so that an adapter
// plugged in meanwhile is there.
std::vector<PortRecord> ListDetailed();

// The names of ListDetailed, in its order.
std::vector<std::string> List();

} // namespace DevicePorts
