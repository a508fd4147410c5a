#include "sim/SimLines.h"

std::vector<std::string> SimLines::Take(const char* bytes, std::size_t size) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < size; ++i) {
        const char byte = bytes[i];
        if (byte != '\r' && byte != '\n') {
            if (pending.size() < maxLineLength)
                pending += byte;
            continue;
        }
        if (!pending.empty())
            lines.push_back(std::move(pending));
        pending.clear();
    }
    return lines;
}
