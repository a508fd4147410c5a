#include "serial/network/NetworkAddress.h"

namespace {

bool IsPortNumber(const std::string& text) {
    if (text.empty() || text.size() > 5)
        return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

} // namespace

bool ParseNetworkAddress(const std::string& name, NetworkAddress& address, std::string& reason) {
    const auto separator = name.find("://");
    const std::string rest = separator == std::string::npos ? name : name.substr(separator + 3);
    std::string host, port;
    if (!rest.empty() && rest[0] == '[') {
        const auto close = rest.find(']');
        if (close != std::string::npos && close + 1 < rest.size() && rest[close + 1] == ':') {
            host = rest.substr(1, close - 1);
            port = rest.substr(close + 2);
        }
    } else if (const auto colon = rest.rfind(':'); colon != std::string::npos) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
    }
    const bool hostFits = !host.empty() && host.find_first_of(" \t/[]") == std::string::npos &&
                          (rest[0] == '[' || host.find(':') == std::string::npos);
    if (!hostFits || !IsPortNumber(port)) {
        reason = "not a network port: HOST:PORT expected after " +
                 (separator == std::string::npos ? std::string("the scheme")
                                                 : name.substr(0, separator + 3)) +
                 ", PORT from 1 to 65535";
        return false;
    }
    address = {host, port};
    return true;
}
