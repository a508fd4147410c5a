// Fuzz target: AdcLink::ScanNumbers on arbitrary text.
//
// Always: it returns 0..10 and writes nothing outside its 10 entries (the
// entries sit between canaries, and a second call gets exactly 10 entries on
// the heap for the address sanitizer), nor past the count it returns.
// Where the outcome is settled (at most 10 entries needed, every digit run at
// most 39 digits long with a value that fits 32 signed bits) the entries must
// match the simple model below.
#include "device/AdcLink.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int32_t canary = 0x5a5a5a5a;
constexpr int32_t unwritten = 0x13579bdf; // marks entries the scan should leave alone

struct Guarded {
    int32_t before[8];
    int32_t numbers[10];
    int32_t after[8];
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The scan rule, written out plainly; false when the outcome is not settled.
bool Model(const std::string& text, std::vector<int32_t>& numbers) {
    numbers.clear();
    size_t i = 0;
    for (;;) {
        while (i < text.size() && !IsDigit(text[i]))
            ++i;
        if (i == text.size()) {
            numbers.push_back(-1);
            return numbers.size() <= 10;
        }
        const size_t start = i;
        int64_t value = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            value = value * 10 + (text[i] - '0');
            if (value > INT32_MAX || i - start >= 39)
                return false;
        }
        numbers.push_back(int32_t(start > 0 && text[start - 1] == '-' ? -value : value));
        if (numbers.size() > 10)
            return false;
        if (text.size() - i <= 1)
            return true;
    }
}

void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "ScanNumbers fuzz: %s (text of %zu bytes)\n", what, text.size());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    Guarded guarded;
    for (int32_t& entry : guarded.before)
        entry = canary;
    for (int32_t& entry : guarded.numbers)
        entry = unwritten;
    for (int32_t& entry : guarded.after)
        entry = canary;
    const int count = AdcLink::ScanNumbers(guarded.numbers, text);
    for (int k = 0; k < 8; ++k)
        if (guarded.before[k] != canary || guarded.after[k] != canary)
            Fail("wrote outside its 10 entries", text);
    if (count < 0 || count > 10)
        Fail("count out of 0..10", text);

    // exactly 10 entries on the heap: the address sanitizer sees any step past them
    std::unique_ptr<int32_t[]> exact(new int32_t[10]);
    AdcLink::ScanNumbers(*reinterpret_cast<int32_t(*)[10]>(exact.get()), text);

    std::vector<int32_t> expected;
    if (!Model(text, expected))
        return 0;
    if (count != int(expected.size()))
        Fail("count differs from the model", text);
    for (int k = 0; k < count; ++k)
        if (guarded.numbers[k] != expected[size_t(k)])
            Fail("entry differs from the model", text);
    for (int k = count; k < 10; ++k)
        if (guarded.numbers[k] != unwritten)
            Fail("wrote past the count it returned", text);
    return 0;
}
