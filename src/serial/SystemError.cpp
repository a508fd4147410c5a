#include "serial/SystemError.h"

#include <algorithm>
#include <cstring>

std::string OneLineReason(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    if (text.size() <= reasonLimit)
        return text;
    // A cut inside a parenthesis (a host, a device path) still closes it.
    const std::string kept = text.substr(0, reasonLimit - 4);
    if (std::count(kept.begin(), kept.end(), '(') > std::count(kept.begin(), kept.end(), ')'))
        return kept + "...)";
    text.resize(reasonLimit);
    return text;
}

std::string SystemErrorText(int errorNumber) {
    return OneLineReason(std::strerror(errorNumber));
}

int ErrorNumberOf(const std::string& reason) {
    // Linux numbers its errors below 134; a text that opens another (none
    // does today) loses to the longer one.
    constexpr int lastErrorNumber = 150;
    int found = 0;
    std::size_t foundLength = 0;
    for (int number = 1; number <= lastErrorNumber; ++number) {
        const std::string text = SystemErrorText(number);
        if (text.rfind("Unknown error", 0) == 0 || text.size() <= foundLength ||
            reason.compare(0, text.size(), text) != 0)
            continue;
        const char next = reason.size() > text.size() ? reason[text.size()] : ' ';
        if (next == ' ' || next == ',') {
            found = number;
            foundLength = text.size();
        }
    }
    return found;
}
