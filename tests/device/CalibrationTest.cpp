#include "device/LinkTest.h"

#include <array>

namespace {

using Calibration = LinkTest;

std::array<int32_t, 4> Read(bool& ok, std::array<int32_t, 4> values = {7, 7, 7, 7}) {
    ok = AdcLink::ReadCalibration(values[0], values[1], values[2], values[3]);
    return values;
}

TEST_F(Calibration, ReadTakesExactlyFourNumbers) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("1000,0,2000,4095\r\n");
    controller.Expect("RC;\r\n").Reply("RC;\r\n1000,0,2000,4095\r\n");
    controller.Expect("RC;\r\n").Reply("RC;1000,0,2000,4095\r\n");
    controller.Expect("RC;\r\n").Reply("1000,0,2000\r\n");
    controller.Expect("RC;\r\n").Reply("1,2,3,4,5\r\n");
    Connect();
    bool ok = false;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Read(ok), (std::array<int32_t, 4>{1000, 0, 2000, 4095}));
        EXPECT_TRUE(ok);
    }
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Read(ok), (std::array<int32_t, 4>{7, 7, 7, 7}));
        EXPECT_FALSE(ok);
    }
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(Calibration, AnAcceptedWriteRunsTheHandshakeAgain) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WC,300,410,600,3650;\r\n").Reply("WC,0!\r\n");
    ScriptHandshake(controller, "(300,600)");
    controller.Expect("WC,1,2,3,4;\r\n").Reply("RC,1000\r\n"); // "RC," counts as accepted
    ScriptHandshake(controller, "(310,610)");
    Connect();
    std::string errorText;
    EXPECT_TRUE(AdcLink::WriteCalibration(300, 410, 600, 3650, errorText));
    EXPECT_EQ(AdcLink::MinWavelength(), 300);
    EXPECT_EQ(AdcLink::MaxWavelength(), 600);
    EXPECT_TRUE(AdcLink::WriteCalibration(1, 2, 3, 4, errorText));
    EXPECT_EQ(AdcLink::MinWavelength(), 310);
    EXPECT_EQ(errorText, "");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(Calibration, ARefusedOrUnansweredWriteSendsNothingMore) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WC,300,410,600,3650;\r\n").Reply("WC,1!\r\n");
    controller.Expect("WC,300,410,600,3650;\r\n");
    Connect();
    std::string errorText;
    EXPECT_FALSE(AdcLink::WriteCalibration(300, 410, 600, 3650, errorText));
    EXPECT_EQ(errorText, "ADC doesn't accept parameters!");
    EXPECT_FALSE(AdcLink::WriteCalibration(300, 410, 600, 3650, errorText));
    EXPECT_EQ(errorText, "No answer");
    EXPECT_EQ(controller.Finish(), "");
    AdcLink::ClosePort();
    EXPECT_FALSE(AdcLink::WriteCalibration(300, 410, 600, 3650, errorText));
    EXPECT_EQ(errorText, "Error writing!");
}

TEST_F(Calibration, ProbeSetsTheCountsAndTakesTheSecondNumberOfTheReading) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WA,1,2048;\r\n").Reply("anything\r\n");
    controller.Expect("RA,1;\r\n").Reply("RA,1,1234\r\n");
    controller.Expect("WA,1,1234;\r\n").Reply("WA,0!\r\n");
    controller.Expect("RA,1;\r\n").Reply("1234\r\n");
    Connect();
    int32_t value = 2048;
    EXPECT_TRUE(AdcLink::ProbeAnalogChannel(value));
    EXPECT_EQ(value, 1234);
    EXPECT_FALSE(AdcLink::ProbeAnalogChannel(value)); // one number is not a reading
    EXPECT_EQ(value, 1234);
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(Calibration, ASilentControllerCostsOneTimeoutPerExpectedReply) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n");
    controller.Expect("WA,1,100;\r\n"); // no reply: RA is not sent
    Connect();
    int64_t before = AdcLink::ReadTimeoutCount();
    bool ok = true;
    Read(ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 1);
    before = AdcLink::ReadTimeoutCount();
    int32_t value = 100;
    EXPECT_FALSE(AdcLink::ProbeAnalogChannel(value));
    EXPECT_EQ(value, 100);
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 1);
    EXPECT_EQ(controller.Finish(), "");
}

} // namespace
