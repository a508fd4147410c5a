#pragma once

#include <string>

// Port names that reach a serial server on the network: "socket://HOST:PORT"
// (a raw TCP connection) and "rfc2217://HOST:PORT" (Telnet with the
// COM-PORT-OPTION). The scheme is matched in any letter case.
enum class NetworkScheme { None, Socket, Rfc2217 };

NetworkScheme SchemeOfPortName(const std::string& name);

// The HOST:PORT after the scheme. HOST is a name or an address, an IPv6
// address in brackets; PORT is a decimal number from 1 to 65535. On failure
// reason says what is wrong.
struct NetworkAddress {
    std::string host;
    std::string port;
};

bool ParseNetworkAddress(const std::string& name, NetworkAddress& address, std::string& reason);
