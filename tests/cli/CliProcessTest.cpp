// vornadc-cli run as a program against a scripted controller.
#include "serial/SerialPort.h"
#include "support/ProcessRunner.h"
#include "support/ScriptedController.h"

#include <gtest/gtest.h>

namespace {

class CliProcess : public ::testing::Test {
protected:
    ProcessResult Run(std::vector<std::string> words) {
        std::string error;
        EXPECT_TRUE(controller.Start(error)) << error;
        words.insert(words.begin(), {VORNADC_CLI, "--port", controller.SlavePath()});
        return RunProcess(words);
    }

    ScriptedController controller;
};

TEST_F(CliProcess, ReadCalibrationPrintsTheFourValues) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("RC;1000,0,2000,4095\r\n");
    const ProcessResult result = Run({"read-calibration"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "1000 0 2000 4095\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, ALogThatCannotBeOpenedIsSaidOnceAndTheCommandRunsWithoutIt) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n").Reply("RC;1000,0,2000,4095\r\n");
    const ProcessResult result = Run({"--log", "/nonexistent-folder/cli.log", "read-calibration"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "1000 0 2000 4095\n");
    EXPECT_EQ(result.err, "vornadc-cli: Cannot open the log file /nonexistent-folder/cli.log: No "
                          "such file or directory\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, ASilentControllerIsAFailureWithAReason) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n");
    const ProcessResult result = Run({"read-calibration"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(result.err.empty());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, RangeWithoutAnAnswerShowsTheStartingRange) {
    controller.Expect("RC,1;\r\n").Expect("RS;\r\n");
    const ProcessResult result = Run({"range"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "240 699\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, SetWavelengthClampsAndPrintsThePagesStatus) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WL,699;\r\n").Reply("WL,0!\r\n");
    const ProcessResult result = Run({"set-wavelength", "9999"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, " Wavelength is set to  :  699 nm\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, SetWavelengthRefusedExitsWithOne) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WL,240;\r\n").Reply("WL,3!\r\n");
    const ProcessResult result = Run({"set-wavelength", "100"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, " ERROR: Wavelength could not be set! \n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, DefineProtocolPrintsTheCorrectedValuesAndTheReason) {
    ScriptHandshake(controller, "(240,699)");
    const ProcessResult result =
        Run({"define-protocol", "10", "15", "0", "500", "240", "340", "0"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "15 15 0 500 240 340 0\n");
    EXPECT_EQ(result.err, "Sum of dt and it1 too small\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, SendAddsTheSemicolonAndPrintsTheReply) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("rp;\r\n").Reply("rp;\r\n30,2000,0,500,240,340,0\r\n");
    const ProcessResult result = Run({"send", "rp"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "30,2000,0,500,240,340,0\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, ProbePrintsTheReading) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WA,1,2048;\r\n").Reply("WA,0!\r\n").Expect("RA,1;\r\n").Reply("1,1234\r\n");
    ProcessResult result = Run({"probe", "2048"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "1234\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, ARefusedCalibrationGivesItsErrorText) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WC,300,410,600,3650;\r\n").Reply("WC,1!\r\n");
    const ProcessResult result = Run({"write-calibration", "300", "410", "600", "3650"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "ADC doesn't accept parameters!\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(CliProcess, APortHeldByAnotherProcessCannotBeOpened) {
    std::string error;
    ASSERT_TRUE(controller.Start(error)) << error;
    SerialPort holder;
    ASSERT_TRUE(holder.Open(controller.SlavePath(), error)) << error;
    const ProcessResult result =
        RunProcess({VORNADC_CLI, "--port", controller.SlavePath(), "read-calibration"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Port Initialisation Error:\nDevice or resource busy\n");
    EXPECT_EQ(controller.Finish(), ""); // nothing was written
}

TEST_F(CliProcess, AUsageErrorWritesNothingToTheController) {
    const ProcessResult result = Run({"probe", "lots"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("usage:"), std::string::npos);
    EXPECT_EQ(controller.Finish(0), "");
}

} // namespace
