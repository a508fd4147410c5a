#include "device/AdcLink.h"

#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

struct ScanCase {
    const char* text;
    std::vector<int32_t> expected; // the entries written, the end marker included
};

// Names the case in test listings by its text.
void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ScanNumbersTable : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanNumbersTable, WritesTheNumbersInOrderWithTheEndMarkerRule) {
    const ScanCase& c = GetParam();
    int32_t numbers[10];
    const int count = AdcLink::ScanNumbers(numbers, c.text);
    ASSERT_EQ(count, static_cast<int>(c.expected.size())) << c.text;
    EXPECT_EQ(std::vector<int32_t>(numbers, numbers + count), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Replies, ScanNumbersTable,
                         ::testing::Values(ScanCase{"", {-1}}, ScanCase{"abc", {-1}},
                                           ScanCase{"680", {680}}, ScanCase{"680!", {680}},
                                           ScanCase{"680 nm", {680, -1}},
                                           ScanCase{"RA,1,2048", {1, 2048}},
                                           ScanCase{"12,-7;", {12, -7}}, ScanCase{"-5", {-5}},
                                           ScanCase{"1,2,3 xy", {1, 2, 3, -1}},
                                           ScanCase{"1.5", {1, 5}}, ScanCase{"a-b3", {3}},
                                           ScanCase{"1000,0,2000,4095", {1000, 0, 2000, 4095}}));

// Values beyond 32 bits saturate; more numbers than entries stop at the tenth.
INSTANTIATE_TEST_SUITE_P(
    Bounds, ScanNumbersTable,
    ::testing::Values(ScanCase{"2147483647", {std::numeric_limits<int32_t>::max()}},
                      ScanCase{"-2147483648", {std::numeric_limits<int32_t>::min()}},
                      ScanCase{"2147483648", {std::numeric_limits<int32_t>::max()}},
                      ScanCase{"-99999999999999999999999999999999999999999999999999,7",
                               {std::numeric_limits<int32_t>::min(), 7}},
                      ScanCase{"0000000000000000000000000000000000000000000000000012", {12}},
                      ScanCase{"1,2,3,4,5,6,7,8,9,10,11,12", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                      ScanCase{"1,2,3,4,5,6,7,8,9,10 xy", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}));

TEST(ScanNumbers, NeverWritesBeyondTenEntries) {
    struct {
        int32_t numbers[10];
        int32_t guard[4];
    } buffer;
    for (int32_t& g : buffer.guard)
        g = 12345;
    std::string many;
    for (int i = 0; i < 30; ++i)
        many += std::to_string(i) + ",";
    EXPECT_EQ(AdcLink::ScanNumbers(buffer.numbers, many), 10);
    for (const int32_t g : buffer.guard)
        EXPECT_EQ(g, 12345);
}

} // namespace
