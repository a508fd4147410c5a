#include "LinkTest.h"

namespace {

using OpenPort = LinkTest;

TEST_F(OpenPort, AnEmptyModeStringBecomesTheDefaultInTheCallersText) {
    ScriptHandshake(controller, "(240,699)");
    std::string error;
    ASSERT_TRUE(controller.Start(error)) << error;
    std::string mode;
    std::string errorText = "untouched";
    EXPECT_TRUE(AdcLink::OpenPort(controller.SlavePath(), mode, errorText));
    EXPECT_EQ(mode, "baud=19200 parity=N data=8 stop=1");
    EXPECT_EQ(errorText, "untouched");
    EXPECT_TRUE(AdcLink::IsPortOpen());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(OpenPort, ARejectedModeStringFailsBeforeAnyPortIsOpened) {
    std::string mode = "baud=19200 parity=x data=8 stop=1";
    std::string errorText;
    EXPECT_FALSE(AdcLink::OpenPort("/dev/null", mode, errorText));
    EXPECT_EQ(errorText, "invalid parameter");
    EXPECT_FALSE(AdcLink::IsPortOpen());
}

TEST_F(OpenPort, AMissingDeviceGivesTheSystemText) {
    for (const char* name : {"/dev/no-such-serial-device", "COM7", "sim"}) {
        std::string mode, errorText;
        EXPECT_FALSE(AdcLink::OpenPort(name, mode, errorText));
        EXPECT_EQ(errorText, "Port Initialisation Error:\nNo such file or directory") << name;
        EXPECT_FALSE(AdcLink::IsPortOpen());
    }
}

TEST_F(OpenPort, SimOpensTheBuiltInSimulatedController) {
    std::string mode, errorText;
    ASSERT_TRUE(AdcLink::OpenPort("SIM", mode, errorText)) << errorText;
    EXPECT_TRUE(AdcLink::IsPortOpen());
    int32_t lw = 0, lc = 0, hw = 0, hc = 0;
    EXPECT_TRUE(AdcLink::ReadCalibration(lw, lc, hw, hc));
    EXPECT_LT(lw, hw);
    EXPECT_LT(lc, hc);
    AdcLink::ClosePort();
}

TEST_F(OpenPort, WhileOpenItReconfiguresThatPortAndRunsTheHandshakeAgain) {
    ScriptHandshake(controller, "(240,699)");
    ScriptHandshake(controller, "(300,600)");
    Connect();
    std::string mode = "baud=9600 parity=e data=7 stop=2", errorText;
    EXPECT_TRUE(AdcLink::OpenPort("/dev/no-such-serial-device", mode, errorText)) << errorText;
    EXPECT_EQ(AdcLink::MinWavelength(), 300);
    EXPECT_EQ(AdcLink::MaxWavelength(), 600);
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(OpenPort, SettingsThatCannotBeAppliedLeaveThePortOpen) {
    std::string error;
    ASSERT_TRUE(controller.Start(error)) << error;
    std::string mode = "baud=12345 parity=n data=8 stop=1", errorText;
    EXPECT_FALSE(AdcLink::OpenPort(controller.SlavePath(), mode, errorText));
    EXPECT_EQ(errorText, "Unable to apply parameters:\nInvalid argument");
    EXPECT_TRUE(AdcLink::IsPortOpen());
    EXPECT_EQ(controller.Finish(), ""); // no handshake was sent
}

TEST_F(OpenPort, SendCommandWritesTheWholeTextAndRefusesAnEmptyOne) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n");
    Connect();
    EXPECT_FALSE(AdcLink::SendCommand(""));
    EXPECT_TRUE(AdcLink::SendCommand("RP;\r\n"));
    EXPECT_EQ(controller.Finish(), "");
    EXPECT_TRUE(AdcLink::ClosePort());
    EXPECT_FALSE(AdcLink::IsPortOpen());
    EXPECT_TRUE(AdcLink::ClosePort());
}

} // namespace
