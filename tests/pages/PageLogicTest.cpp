// The page logic that needs no widget: protocol tenths, history, mode string, port list.
#include "device/ProtocolArithmetic.h"
#include "pages/SetupParameters.h"
#include "pages/TerminalHistory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using Strings = std::vector<std::string>;

TEST(ProtocolArithmetic, TenthsTruncateTowardZeroAndSaturate) {
    EXPECT_EQ(ToTenths(2.55), 25);
    EXPECT_EQ(ToTenths(20.0), 200);
    EXPECT_EQ(ToTenths(-0.05), 0);
    EXPECT_EQ(ToTenths(-0.25), -2);
    EXPECT_EQ(ToTenths(1e300), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ToTenths(-1e300), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ToTenths(std::nan("")), 0);
    EXPECT_DOUBLE_EQ(ToMilliseconds(25), 2.5);
    EXPECT_DOUBLE_EQ(ToMilliseconds(4294967295LL), 429496729.5); // a stored -1, read unsigned
    // What the page shows it reads back unchanged.
    for (int32_t tenths : {0, 1, 3, 7, 25, 203, 4770, 99999})
        EXPECT_EQ(ToTenths(ToMilliseconds(tenths)), tenths) << tenths;
}

TEST(ProtocolArithmetic, RestingTimeAndCycleCorrections) {
    // Two wavelengths: ct 40 is 6 ms short of 2 dt + it1 + it2; corrected to 46.
    EXPECT_EQ(RestingTenths(40, 3, 20, 20, false), -60);
    EXPECT_DOUBLE_EQ(CorrectedCycle(30, 200, 200), 46.0);
    EXPECT_EQ(RestingTenths(46, 3, 20, 20, false), 0);
    // After the link raised the resting time to 30 tenths: ct 49.
    EXPECT_DOUBLE_EQ(AppliedCycle(30, 200, 200, 30, false), 49.0);
    EXPECT_EQ(RestingTenths(49, 3, 20, 20, false), 30);
    // One wavelength: it2 is not part of the cycle; the correction leaves rest = dt.
    EXPECT_EQ(RestingTenths(500, 3, 20, 20, true), 4770);
    EXPECT_EQ(RestingTenths(10, 3, 20, 0, true), -130);
    EXPECT_DOUBLE_EQ(CorrectedCycle(30, 200, 0), 26.0);
    EXPECT_EQ(RestingTenths(26, 3, 20, 0, true), 30);
    EXPECT_DOUBLE_EQ(AppliedCycle(30, 200, 0, 4770, true), 500.0);
    // A shortfall under 0.1 ms is converted once and reads as no shortfall.
    EXPECT_EQ(RestingTenths(45.95, 3, 20, 20, false), 0);
}

TEST(ProtocolArithmetic, ReadBackCycleCountsOneOrTwoDeadTimes) {
    EXPECT_DOUBLE_EQ(ReadBackCycle(30, 200, 200, 4540, false), 500.0);
    EXPECT_DOUBLE_EQ(ReadBackCycle(30, 200, 0, 4770, true), 500.0);
    EXPECT_DOUBLE_EQ(ReadBackCycle(30, 200, 200, 4540, true), 497.0);
    // Sums beyond 32 bits do not wrap.
    const int32_t big = std::numeric_limits<int32_t>::max();
    EXPECT_GT(ReadBackCycle(big, big, big, big, false), 0.0);
    EXPECT_GT(AppliedCycle(big, big, big, big, false), 0.0);
}

TEST(TerminalHistory, CutsAtEachSemicolonAndDropsTheRest) {
    EXPECT_EQ(SplitHistory("RC;WL,300;junk"), (Strings{"RC;", "WL,300;"}));
    EXPECT_EQ(SplitHistory("a;b;"), (Strings{"a;", "b;"}));
    EXPECT_EQ(SplitHistory(";;x"), (Strings{";", ";"}));
    EXPECT_EQ(SplitHistory("junk"), Strings{});
    EXPECT_EQ(SplitHistory(""), Strings{});
}

TEST(TerminalHistory, JoinsTheFirstTenAndFindsEntriesIgnoringCase) {
    Strings entries;
    for (int i = 0; i < 12; ++i)
        entries.push_back("C" + std::to_string(i) + ";");
    EXPECT_EQ(JoinHistory(entries), "C0;C1;C2;C3;C4;C5;C6;C7;C8;C9;");
    EXPECT_EQ(JoinHistory({}), "");
    EXPECT_EQ(SplitHistory(JoinHistory({"RC;", "a;b;"})), (Strings{"RC;", "a;", "b;"}));
    EXPECT_EQ(FindIgnoringCase({"WL,300;", "RC;", "rc;"}, "rc;"), 1);
    EXPECT_EQ(FindIgnoringCase({"RC;"}, "RC"), -1);
}

TEST(TerminalHistory, ReplyLogKeepsItsNewestWholeLines) {
    std::string log;
    for (int i = 0; i < 10; ++i)
        log += "reply " + std::to_string(i) + "\r\n"; // 9 bytes each
    std::string bounded = log;
    BoundReplyLog(bounded, 30);
    EXPECT_EQ(bounded, "reply 7\r\nreply 8\r\nreply 9\r\n");
    bounded = log;
    BoundReplyLog(bounded, 27);
    EXPECT_EQ(bounded, "reply 7\r\nreply 8\r\nreply 9\r\n");
    bounded = log;
    BoundReplyLog(bounded, 1000);
    EXPECT_EQ(bounded, log);
    // The longest reply line fits whole.
    std::string longLog = log + std::string(4096, 'x') + "\r\n";
    BoundReplyLog(longLog);
    EXPECT_LE(longLog.size(), replyLogLimit);
    EXPECT_EQ(longLog.substr(longLog.size() - 4098), std::string(4096, 'x') + "\r\n");
}

TEST(SetupParameters, ModeStringFromTheFields) {
    EXPECT_EQ(BuildModeString("19200", "none", "8,1"), "baud=19200 parity=n data=8 stop=1");
    EXPECT_EQ(BuildModeString("57600", "odd", "7,2"), "baud=57600 parity=o data=7 stop=2");
    EXPECT_EQ(BuildModeString("", "", ""), "baud= parity= data= stop=");
}

TEST(SetupParameters, AStoredPortChoosesItsListItem) {
    const Strings items = {"/dev/ttyUSB10", "/dev/ttyUSB2", "COM1", "SIM"};
    EXPECT_EQ(FindPortItem(items, "sim"), 3);
    EXPECT_EQ(FindPortItem(items, "/dev/ttyUSB2"), 1);
    // A path chooses only itself: a longer one is another device, and case counts.
    EXPECT_EQ(FindPortItem(items, "/dev/ttyUSB1"), -1);
    EXPECT_EQ(FindPortItem(items, "/dev/ttyusb2"), -1);
}
