#include "pages/TerminalHistory.h"

#include <cctype>

std::vector<std::string> SplitHistory(const std::string& recent) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t end = recent.find(';'); end != std::string::npos;
         end = recent.find(';', start)) {
        entries.push_back(recent.substr(start, end + 1 - start));
        start = end + 1;
    }
    return entries;
}

std::string JoinHistory(const std::vector<std::string>& entries, std::size_t limit) {
    std::string joined;
    for (std::size_t i = 0; i < entries.size() && i < limit; ++i)
        joined += entries[i];
    return joined;
}

int FindIgnoringCase(const std::vector<std::string>& entries, const std::string& text) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (entry.size() != text.size())
            continue;
        bool equal = true;
        for (std::size_t k = 0; k < entry.size() && equal; ++k)
            equal = std::tolower(static_cast<unsigned char>(entry[k])) ==
                    std::tolower(static_cast<unsigned char>(text[k]));
        if (equal)
            return static_cast<int>(i);
    }
    return -1;
}

void BoundReplyLog(std::string& log, std::size_t limit) {
    if (log.size() <= limit)
        return;
    // The first line that begins within the newest `limit` bytes.
    const std::size_t lineEnd = log.find('\n', log.size() - limit - 1);
    log.erase(0, lineEnd == std::string::npos ? log.size() : lineEnd + 1);
}
