// Every vornadc-cli command run as a program against the simulated controller.
#include "sim/SimServer.h"
#include "support/ProcessRunner.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

ProcessResult Cli(const std::vector<std::string>& words) {
    std::vector<std::string> argv = {VORNADC_CLI};
    argv.insert(argv.end(), words.begin(), words.end());
    return RunProcess(argv);
}

// One simulator that keeps its state across several runs of the program.
class CliAgainstSim : public ::testing::Test {
protected:
    void SetUp() override {
        SimOptions options;
        options.noiseSigma = 0;
        server = std::make_unique<SimServer>(options);
        std::string error;
        ASSERT_TRUE(server->Start(error)) << error;
    }

    ProcessResult Run(std::vector<std::string> words) {
        words.insert(words.begin(), {"--port", server->SlavePath()});
        return Cli(words);
    }

    std::unique_ptr<SimServer> server;
};

TEST(CliOnBuiltInSim, EveryReadingCommandSucceedsOnTheDefaultPort) {
    struct Case {
        std::vector<std::string> words;
        std::string out; // empty: only checked to be non-empty
    } cases[] = {
        {{"id"}, "ADC-SIM 1.0\n"},
        {{"range"}, "240 699\n"},
        {{"set-wavelength", "340"}, " Wavelength is set to  :  340 nm\n"},
        {{"set-wavelength", "9999"}, " Wavelength is set to  :  699 nm\n"},
        {{"read-protocol"}, "30 200 200 4540 240 340 380\n"},
        {{"read-calibration"}, "250 87 690 4013\n"},
        {{"send", "RS"}, "RS,0!\n"},
        {{"probe", "2048"}, ""},
    };
    for (const Case& c : cases) {
        const ProcessResult result = Cli(c.words);
        EXPECT_EQ(result.exitCode, 0) << c.words[0] << ": " << result.err;
        if (c.out.empty())
            EXPECT_FALSE(result.out.empty()) << c.words[0];
        else
            EXPECT_EQ(result.out, c.out) << c.words[0];
    }
}

TEST_F(CliAgainstSim, WrittenCalibrationIsReadBackAndMovesTheRange) {
    ProcessResult result = Run({"write-calibration", "300", "410", "600", "3650"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = Run({"read-calibration"});
    EXPECT_EQ(result.out, "300 410 600 3650\n");
    result = Run({"range"});
    ASSERT_EQ(result.exitCode, 0);
    int min = 0, max = 0;
    ASSERT_EQ(std::sscanf(result.out.c_str(), "%d %d", &min, &max), 2) << result.out;
    EXPECT_LT(min, 300); // counts 0 lie below the low point
    EXPECT_GT(max, 600); // counts 4095 lie above the high point
}

TEST_F(CliAgainstSim, RefusalsAndCorrectionsExitOne) {
    ProcessResult result = Run({"write-calibration", "300", "410", "300", "410"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "ADC doesn't accept parameters!\n");

    // A dead time too short for it1 is corrected and reported, nothing is sent.
    result = Run({"define-protocol", "10", "15", "200", "4540", "240", "340", "380"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "15 15 200 4540 240 340 380\n");
    EXPECT_EQ(result.err, "Sum of dt and it1 too small\n");
}

TEST_F(CliAgainstSim, DefinedProtocolIsReadBack) {
    ProcessResult result = Run({"define-protocol", "30", "2000", "0", "500", "240", "340", "0"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = Run({"read-protocol"});
    EXPECT_EQ(result.out, "30 2000 0 500 240 340 0\n");
}

TEST_F(CliAgainstSim, ProbeFollowsAFilterInsertedByHand) {
    // Without a filter the reading is high across the range; behind a narrow
    // band far from the probed wavelength it drops to the dark level.
    ProcessResult open = Run({"probe", "2048"});
    ASSERT_EQ(open.exitCode, 0) << open.err;
    ASSERT_EQ(Run({"send", "SF,300"}).out, "SF,0!\n");
    ProcessResult blocked = Run({"probe", "2048"});
    ASSERT_EQ(blocked.exitCode, 0) << blocked.err;
    EXPECT_GT(std::stoi(open.out), 10 * std::stoi(blocked.out) + 100);
}

TEST(CliOnBuiltInSim, UsageErrorsExitTwo) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{}, {"no-such-command"}, {"probe"}, {"probe", "x"}}) {
        const ProcessResult result = Cli(words);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("usage:"), std::string::npos);
    }
}

} // namespace
