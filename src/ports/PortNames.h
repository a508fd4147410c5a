#pragma once

#include <string>
#include <vector>

// Port names that reach a serial server on the network: "socket://HOST:PORT"
// (a raw TCP connection) and "rfc2217://HOST:PORT" (Telnet with the
// COM-PORT-OPTION). The scheme is matched in any letter case.
enum class NetworkScheme { None, Socket, Rfc2217 };

NetworkScheme SchemeOfPortName(const std::string& name);

// Turns a port name as the operator types it into a device path: a network
// port ("socket://HOST:PORT", "rfc2217://HOST:PORT") stays as it is, a local
// one becomes what LocalDevicePath makes of it (on Linux "COM1".."COM4" are the
// first four serial ports and a name starting with "/" is a device path). Any
// other name gives an empty path (no such device).
std::string ResolvePortName(const std::string& name);

// "COMn" in any case with n a decimal number from 1 to 256 without a leading
// zero: returns n; 0 for any other name.
int ComPortNumber(const std::string& name);

// The device paths of the serial ports the system reports.
std::vector<std::string> SystemPortPaths();
