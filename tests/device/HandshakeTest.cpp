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

TEST_F(Handshake, ARangeWithoutClosingParenthesisGivesTheEndMarker) {
    // Both parts are empty then, and the end marker alone counts as one number;
    // text before the "(" changes nothing.
    ScriptHandshake(controller, "range (380,680");
    Connect();
    EXPECT_EQ(AdcLink::MinWavelength(), -1);
    EXPECT_EQ(AdcLink::MaxWavelength(), -1);
    EXPECT_EQ(controller.Finish(), "");
}

TEST(ReactivateProtocol, WithoutAPortReturnsAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    AdcLink::ReactivateProtocol();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(80));
}

} // namespace
