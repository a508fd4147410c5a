// Number scanning: the signed decimal digit runs of a reply, in order.
#include "device/AdcLink.h"

#include <limits>

namespace AdcLink {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

// Bounds: the array has 10 entries and nothing is written beyond them; once 10
// are written the scan stops and returns 10 (the end marker then has no room).
// A digit run is read to its end, but its value saturates: beyond the 32-bit
// range it becomes 2147483647, or -2147483648 behind a "-".
int ScanNumbers(int32_t (&numbers)[10], const std::string& text) {
    constexpr int capacity = 10;
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    const std::size_t size = text.size();
    std::size_t i = 0;
    int count = 0;
    while (count < capacity) {
        while (i < size && !IsDigit(text[i]))
            ++i;
        if (i == size) {
            numbers[count++] = -1;
            return count;
        }
        const bool negative = i > 0 && text[i - 1] == '-';
        int64_t magnitude = 0;
        for (; i < size && IsDigit(text[i]); ++i)
            if (magnitude < limit)
                magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit;
        if (negative)
            numbers[count++] = static_cast<int32_t>(-magnitude);
        else
            numbers[count++] = static_cast<int32_t>(magnitude == limit ? limit - 1 : magnitude);
        if (size - i <= 1)
            return count;
    }
    return count;
}

} // namespace AdcLink
