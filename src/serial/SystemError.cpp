#include "serial/SystemError.h"

#include <cstring>

std::string OneLineReason(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    if (text.size() > reasonLimit)
        text.resize(reasonLimit);
    return text;
}

std::string SystemErrorText(int errorNumber) {
    return OneLineReason(std::strerror(errorNumber));
}
