#include "serial/SerialMode.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseModeString, ReadsTheFourKeysInEitherCase) {
    SerialMode mode;
    ASSERT_TRUE(ParseModeString("baud=19200 parity=N data=8 stop=1", mode));
    EXPECT_EQ(mode.baud, 19200);
    EXPECT_EQ(mode.parity, 'n');
    EXPECT_EQ(mode.dataBits, 8);
    EXPECT_EQ(mode.stopBits, 1);
    ASSERT_TRUE(ParseModeString("BAUD=57600  Parity=o data=7 stop=2", mode));
    EXPECT_EQ(mode.baud, 57600);
    EXPECT_EQ(mode.parity, 'o');
    EXPECT_EQ(mode.dataBits, 7);
    EXPECT_EQ(mode.stopBits, 2);
    ASSERT_TRUE(ParseModeString("parity=e", mode)); // unnamed keys stay zero
    EXPECT_EQ(mode.parity, 'e');
    EXPECT_EQ(mode.baud, 0);
}

TEST(ParseModeString, FailsOnEmptyOrUnrecognisedValuesAndKeepsTheOldMode) {
    for (const char* text :
         {"", "   ", "baud=19200 parity= data=8 stop=1", "baud= parity=n data=8 stop=1",
          "baud=fast", "baud=-1", "baud=0", "parity=x", "parity=no", "data=9", "data=4", "stop=3",
          "stop=1.5", "speed=19200", "baud 19200", "baud=19200,parity=n"}) {
        SerialMode mode;
        mode.baud = 42;
        EXPECT_FALSE(ParseModeString(text, mode)) << "'" << text << "'";
        EXPECT_EQ(mode.baud, 42) << text;
    }
}

TEST(LineQuietMs, IsThreeCharacterTimesRoundedUpAndAtLeast20Ms) {
    const struct {
        const char* mode;
        int ms;
    } rows[] = {
        {"baud=1500 data=8", 20}, // 3 x 10 bits: exactly 20 ms
        {"baud=1499 data=8", 21}, // just over, rounded up
        {"baud=1200 data=8", 25},   {"baud=1200 data=8 parity=e stop=2", 30},
        {"baud=1200 data=5", 20},                     // 3 x 7 bits: 17.5 ms, raised to the least
        {"baud=1200 parity=o", 28},                   // data not named: 8 taken
        {"baud=19200 data=8", 20},  {"parity=n", 20}, // no baud rate
    };
    for (const auto& row : rows) {
        SerialMode mode;
        ASSERT_TRUE(ParseModeString(row.mode, mode)) << row.mode;
        EXPECT_EQ(LineQuietMs(mode), row.ms) << row.mode;
    }
}

} // namespace
