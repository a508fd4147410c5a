#include "pages/SetupParameters.h"

#include "pages/TerminalHistory.h"

namespace {

std::string First(const std::string& text) {
    return text.substr(0, 1);
}

std::string Last(const std::string& text) {
    return text.empty() ? std::string() : text.substr(text.size() - 1);
}

} // namespace

std::string BuildModeString(const std::string& baudRate, const std::string& parity,
                            const std::string& bits) {
    return "baud=" + baudRate + " parity=" + First(parity) + " data=" + First(bits) +
           " stop=" + Last(bits);
}

std::vector<std::string> MissingPortNames(const std::vector<std::string>& present,
                                          const std::vector<std::string>& offered) {
    std::vector<std::string> listed = present;
    std::vector<std::string> missing;
    for (const std::string& name : offered) {
        if (name.empty() || FindIgnoringCase(listed, name) >= 0)
            continue;
        listed.push_back(name);
        missing.push_back(name);
    }
    return missing;
}
