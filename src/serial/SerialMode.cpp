#include "serial/SerialMode.h"

#include <cctype>
#include <sstream>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A plain positive decimal number that fits an int comfortably.
bool ParsePositive(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9)
        return false;
    int result = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        result = result * 10 + (c - '0');
    }
    if (result <= 0)
        return false;
    value = result;
    return true;
}

} // namespace

bool ParseModeString(const std::string& text, SerialMode& mode) {
    SerialMode parsed;
    std::istringstream tokens(text);
    std::string token;
    bool any = false;
    while (tokens >> token) {
        const auto equals = token.find('=');
        if (equals == std::string::npos)
            return false;
        const std::string key = Lower(token.substr(0, equals));
        const std::string value = Lower(token.substr(equals + 1));
        if (value.empty())
            return false;
        if (key == "baud") {
            if (!ParsePositive(value, parsed.baud))
                return false;
        } else if (key == "parity") {
            if (value.size() != 1 || (value[0] != 'n' && value[0] != 'e' && value[0] != 'o'))
                return false;
            parsed.parity = value[0];
        } else if (key == "data") {
            if (!ParsePositive(value, parsed.dataBits) || parsed.dataBits < 5 ||
                parsed.dataBits > 8)
                return false;
        } else if (key == "stop") {
            if (!ParsePositive(value, parsed.stopBits) || parsed.stopBits > 2)
                return false;
        } else {
            return false;
        }
        any = true;
    }
    if (!any)
        return false;
    mode = parsed;
    return true;
}

bool NamesSpeedAndDataBits(const SerialMode& mode) {
    return mode.baud > 0 && mode.dataBits >= 5 && mode.dataBits <= 8;
}

int LineQuietMs(const SerialMode& mode) {
    constexpr int leastMs = 20;
    if (mode.baud <= 0)
        return leastMs;
    const long bits = 1 + (mode.dataBits > 0 ? mode.dataBits : 8) +
                      (mode.parity == 'e' || mode.parity == 'o' ? 1 : 0) +
                      (mode.stopBits == 2 ? 2 : 1);
    const long ms = (3 * bits * 1000 + mode.baud - 1) / mode.baud; // rounded up
    return ms > leastMs ? static_cast<int>(ms) : leastMs;
}
