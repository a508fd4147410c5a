#pragma once

#include <string>

// The HOST:PORT after the scheme of a network port name (see SchemeOfPortName). HOST is a name or
// an address, an IPv6 address in brackets; PORT is a decimal number from 1 to 65535, kept without
// leading zeros. On failure reason says what is wrong.
struct NetworkAddress {
    std::string host;
    std::string port;
};

bool ParseNetworkAddress(const std::string& name, NetworkAddress& address, std::string& reason);
