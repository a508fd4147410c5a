#include "device/LinkTest.h"

#include <chrono>

namespace {

using Handshake = LinkTest;

TEST_F(Handshake, ReadsTheRangeInParentheses) {
    ScriptHandshake(controller, "(380,680)");
    Connect();
    EXPECT_EQ(AdcLink::MinWavelength(), 380);
    EXPECT_EQ(AdcLink::MaxWavelength(), 680);
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(Handshake, ReadsTheRangeBehindAnEchoLine) {
    ScriptHandshake(controller, "RC,1;\r\n(380,680)");
    Connect();
    EXPECT_EQ(AdcLink::MinWavelength(), 380);
    EXPECT_EQ(AdcLink::MaxWavelength(), 680);
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(Handshake, ProbesBothEndsWhenTheRangeQueryIsUnknown) {
    controller.Expect("RC,1;\r\n").Reply("RC,1!\r\n");
    controller.Expect("WL,1000;\r\n").Reply("680\r\n");
    controller.Expect("WL,0;\r\n").Reply("250\r\n");
    controller.Expect("RS;\r\n").Reply("RS,0!\r\n");
    Connect();
    EXPECT_EQ(AdcLink::MinWavelength(), 250);
    EXPECT_EQ(AdcLink::MaxWavelength(), 680);
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(Handshake, AProbeReplyWithTwoNumbersLeavesThatEndAndGoesOn) {
    AdcLink::Detail::SetMaxWavelength(650); // not the starting range, which a reset would give
    controller.Expect("RC,1;\r\n").Reply("RC,1!\r\n");
    controller.Expect("WL,1000;\r\n").Reply("680,1\r\n");
    controller.Expect("WL,0;\r\n").Reply("250\r\n");
    controller.Expect("RS;\r\n").Reply("RS,0!\r\n");
    Connect();
    EXPECT_EQ(AdcLink::MinWavelength(), 250);
    EXPECT_EQ(AdcLink::MaxWavelength(), 650);
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(Handshake, TheRangeSurvivesClosingAndASilentControllerThatStillGetsRs) {
    ScriptHandshake(controller, "(380,680)");
    Connect();
    AdcLink::ClosePort();
    EXPECT_EQ(controller.Finish(), "");
    EXPECT_EQ(AdcLink::MinWavelength(), 380);
    EXPECT_EQ(AdcLink::MaxWavelength(), 680);

    ScriptedController silent;
    silent.Expect("RC,1;\r\n").Expect("RS;\r\n");
    std::string error, mode;
    ASSERT_TRUE(silent.Start(error)) << error;
    const int64_t before = AdcLink::ReadTimeoutCount();
    ASSERT_TRUE(AdcLink::OpenPort(silent.SlavePath(), mode, error)) << error;
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 2); // RC,1 and RS, nothing more
    EXPECT_EQ(AdcLink::MinWavelength(), 380);
    EXPECT_EQ(AdcLink::MaxWavelength(), 680);
    EXPECT_EQ(silent.Finish(), "");
}

TEST_F(Handshake, ARangePartOrProbeReplyWithoutADigitLeavesThatEnd) {
    // Without ")" both parts are empty; a part or probe reply without a digit
    // scans as the lone end marker, which is no wavelength. One digit is enough.
    const struct {
        const char* rangeReply; // "RC,1!": the probes follow
        const char* maxProbe;
        const char* minProbe;
        int32_t minimum, maximum;
    } rows[] = {
        {"range (380,680", "", "", 250, 650},
        {"(ab,cd)", "", "", 250, 650},
        {"(x,7)", "", "", 250, 7},
        {"(-1,x)", "", "", -1, 650},
        {"RC,1!", "??", "WL,?!", 250, 650},
        {"RC,1!", "x9", "nm", 250, 9},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rangeReply + std::string(" ") + row.maxProbe);
        AdcLink::Detail::SetMinWavelength(250);
        AdcLink::Detail::SetMaxWavelength(650);
        ScriptedController line;
        line.Expect("RC,1;\r\n").Reply(row.rangeReply + std::string("\r\n"));
        if (std::string(row.rangeReply) == "RC,1!") {
            line.Expect("WL,1000;\r\n").Reply(row.maxProbe + std::string("\r\n"));
            line.Expect("WL,0;\r\n").Reply(row.minProbe + std::string("\r\n"));
        }
        line.Expect("RS;\r\n").Reply("RS,0!\r\n");
        std::string error, mode;
        ASSERT_TRUE(line.Start(error)) << error;
        ASSERT_TRUE(AdcLink::OpenPort(line.SlavePath(), mode, error)) << error;
        EXPECT_EQ(AdcLink::MinWavelength(), row.minimum);
        EXPECT_EQ(AdcLink::MaxWavelength(), row.maximum);
        EXPECT_EQ(line.Finish(), "");
        AdcLink::ClosePort();
    }
}

TEST(ReactivateProtocol, WithoutAPortReturnsAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    AdcLink::ReactivateProtocol();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(80));
}

} // namespace
