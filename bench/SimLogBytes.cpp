#include "bench/SimLogBytes.h"

#include <fstream>

namespace {

// One logged chunk's byte count: every escape stands for one byte.
int64_t DecodedSize(const std::string& text) {
    int64_t bytes = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++bytes)
        if (text[i] == '\\' && i + 1 < text.size())
            i += text[i + 1] == 'x' ? 3 : 1;
    return bytes;
}

} // namespace

LineBytes CountLoggedBytes(const std::string& logPath, std::streamoff offset) {
    LineBytes counted;
    std::ifstream log(logPath, std::ios::binary);
    log.seekg(offset);
    std::string line;
    while (std::getline(log, line)) {
        if (line.size() < 3)
            continue;
        const int64_t bytes = DecodedSize(line.substr(3));
        if (line.compare(0, 3, "RX ") == 0)
            counted.toController += bytes;
        else if (line.compare(0, 3, "TX ") == 0)
            counted.toProgram += bytes;
    }
    return counted;
}
