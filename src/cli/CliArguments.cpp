#include "cli/CliArguments.h"

#include <cstdint>
#include <limits>

namespace {

// Takes the value of "--name VALUE" or "--name=VALUE" at words[i].
bool TakeOption(const std::vector<std::string>& words, std::size_t& i, const std::string& name,
                std::string& value, bool& matched, std::string& error) {
    const std::string& word = words[i];
    matched = false;
    if (word == name) {
        matched = true;
        if (i + 1 >= words.size()) {
            error = name + " needs a value";
            return false;
        }
        value = words[++i];
        return true;
    }
    if (word.compare(0, name.size() + 1, name + "=") == 0) {
        matched = true;
        value = word.substr(name.size() + 1);
    }
    return true;
}

} // namespace

bool ParseCliArguments(const std::vector<std::string>& words, CliInvocation& invocation,
                       std::string& error) {
    std::size_t i = 0;
    for (; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            invocation.help = true;
            return true;
        }
        bool matched = false;
        if (!TakeOption(words, i, "--port", invocation.port, matched, error))
            return false;
        if (matched)
            continue;
        if (!TakeOption(words, i, "--mode", invocation.mode, matched, error))
            return false;
        if (matched)
            continue;
        if (!TakeOption(words, i, "--log", invocation.log, matched, error))
            return false;
        if (matched)
            continue;
        if (word.size() > 1 && word[0] == '-' && word[1] == '-') {
            error = "unknown option " + word;
            return false;
        }
        break;
    }
    if (i == words.size()) {
        error = "no command given";
        return false;
    }
    invocation.command = words[i];
    invocation.arguments.assign(words.begin() + static_cast<long>(i) + 1, words.end());
    return true;
}

bool ParseInt32(const std::string& text, int32_t& value) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        i = 1;
    if (i == text.size())
        return false;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1)
            return false;
    }
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(result);
    return true;
}
