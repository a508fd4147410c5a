#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The command lines in the bytes a simulated controller receives: a line ends
// at CR or LF, an empty line (the LF of CR LF) is none, and what a line holds
// beyond the controller's small input buffer is lost.
class SimLines {
public:
    static constexpr std::size_t maxLineLength = 256;

    // The lines the bytes complete, in order; a partial line waits for more.
    std::vector<std::string> Take(const char* bytes, std::size_t size);

private:
    std::string pending;
};
