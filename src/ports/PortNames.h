#pragma once

#include <string>
#include <vector>

// Port names that reach a serial server on the network: "socket://HOST:PORT"
// (a raw TCP connection) and "rfc2217://HOST:PORT" (Telnet with the
// COM-PORT-OPTION). The scheme is matched in any letter case.
enum class NetworkScheme { None, Socket, Rfc2217 };

NetworkScheme SchemeOfPortName(const std::string& name);

// Turns a port name as the operator types it into a device path: "COM1".."COM4"
// (any case) are the first four serial ports, a name starting with "/" is a
// device path already, and a network port ("socket://HOST:PORT",
// "rfc2217://HOST:PORT") stays as it is. Any other name gives an empty path
// (no such device).
std::string ResolvePortName(const std::string& name);

// The device paths of the serial ports the system reports.
std::vector<std::string> SystemPortPaths();
