#include "serial/network/NetworkAddress.h"

namespace {

// A decimal port number from 1 to 65535, leading zeros allowed, given back
// without them.
bool PortNumber(const std::string& text, std::string& port) {
    if (text.empty() || text.size() > 5)
        return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    port = std::to_string(value);
    return value >= 1 && value <= 65535;
}

} // namespace

bool ParseNetworkAddress(const std::string& name, NetworkAddress& address, std::string& reason) {
    const auto separator = name.find("://");
    const std::string scheme =
        separator == std::string::npos ? std::string("the scheme") : name.substr(0, separator + 3);
    const std::string rest = separator == std::string::npos ? name : name.substr(separator + 3);
    std::string host, port;
    const bool bracketed = !rest.empty() && rest[0] == '[';
    if (bracketed) {
        const auto close = rest.find(']');
        if (close != std::string::npos && close + 1 < rest.size() && rest[close + 1] == ':') {
            host = rest.substr(1, close - 1);
            port = rest.substr(close + 2);
        }
    } else if (const auto colon = rest.rfind(':'); colon != std::string::npos) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    }
    const bool portFits = PortNumber(port, port);
    if (!bracketed && portFits && host.find(':') != std::string::npos) {
        reason =
            "not a network port: an IPv6 address goes in brackets, as in " + scheme + "[::1]:4001";
        return false;
    }
    if (host.empty() || host.find_first_of(" \t/[]") != std::string::npos || !portFits) {
        reason =
            "not a network port: HOST:PORT expected after " + scheme + ", PORT from 1 to 65535";
        return false;
    }
    address = {host, port};
    return true;
}
