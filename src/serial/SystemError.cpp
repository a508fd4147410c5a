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
