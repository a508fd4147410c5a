#include "ui/sheet/ExchangeText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Trims blanks and tabs; returns the inner [begin, end) range.
void TrimBlanks(const std::string& text, size_t& begin, size_t& end) {
    begin = 0;
    end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
}

size_t SkipDigits(const std::string& text, size_t pos, size_t end) {
    while (pos < end && IsDigit(text[pos]))
        ++pos;
    return pos;
}

} // namespace

std::string FormatInteger(int32_t value) {
    return std::to_string(value);
}

std::string FormatNumber(double value) {
    char buffer[64];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

bool ParseInteger(const std::string& text, int32_t& value) {
    size_t begin, end;
    TrimBlanks(text, begin, end);
    size_t pos = begin;
    if (pos < end && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    const size_t digitsEnd = SkipDigits(text, pos, end);
    if (digitsEnd == pos || digitsEnd != end)
        return false;
    int64_t magnitude = 0;
    for (size_t i = pos; i < digitsEnd; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return false;
    }
    const int64_t signedValue = text[begin] == '-' ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int32_t>::max())
        return false;
    if (signedValue == 0 && text[begin] != '0')
        return false;
    value = static_cast<int32_t>(signedValue);
    return true;
}

bool ParseNumber(const std::string& text, double& value) {
    size_t begin, end;
    TrimBlanks(text, begin, end);
    size_t pos = begin;
    if (pos < end && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    const size_t mantissaStart = pos;
    size_t intEnd = SkipDigits(text, pos, end);
    size_t mantissaEnd = intEnd;
    bool anyDigit = intEnd > pos;
    if (mantissaEnd < end && text[mantissaEnd] == '.') {
        const size_t fracEnd = SkipDigits(text, mantissaEnd + 1, end);
        anyDigit = anyDigit || fracEnd > mantissaEnd + 1;
        mantissaEnd = fracEnd;
    }
    if (!anyDigit)
        return false;
    size_t numberEnd = mantissaEnd;
    if (numberEnd < end && (text[numberEnd] == 'e' || text[numberEnd] == 'E')) {
        size_t expPos = numberEnd + 1;
        if (expPos < end && (text[expPos] == '+' || text[expPos] == '-'))
            ++expPos;
        const size_t expEnd = SkipDigits(text, expPos, end);
        if (expEnd == expPos)
            return false;
        numberEnd = expEnd;
    }
    if (numberEnd != end)
        return false;
    // from_chars takes no "+" sign.
    const char* first = text.data() + (text[begin] == '+' ? mantissaStart : begin);
    double parsed = 0.0;
    auto result = std::from_chars(first, text.data() + end, parsed, std::chars_format::general);
    // Too large or too small for a double: refused rather than silently clamped.
    if (result.ec != std::errc() || result.ptr != text.data() + end)
        return false;
    if (!std::isfinite(parsed))
        return false;
    if (parsed == 0.0 && text[begin] != '0')
        return false;
    value = parsed;
    return true;
}

int FindItemStartingWith(const std::vector<std::string>& items, const std::string& prefix) {
    if (prefix.empty())
        return -1;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string& item = items[i];
        if (item.size() < prefix.size())
            continue;
        bool match = true;
        for (size_t k = 0; k < prefix.size() && match; ++k)
            match = std::tolower(static_cast<unsigned char>(item[k])) ==
                    std::tolower(static_cast<unsigned char>(prefix[k]));
        if (match)
            return static_cast<int>(i);
    }
    return -1;
}
