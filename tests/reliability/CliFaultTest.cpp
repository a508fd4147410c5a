// vornadc-cli run as a program against a controller that fails: every run
// ends (no hang), says what went wrong in the described words, and the next
// run on a working line succeeds.
#include "reliability/PortHolder.h"
#include "reliability/SimFault.h"
#include "support/ProcessRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

ProcessResult RunCli(const std::string& port, std::vector<std::string> words) {
    words.insert(words.begin(), {VORNADC_CLI, "--port", port});
    return RunProcess(words);
}

std::unique_ptr<SimServer> Sim(SimOptions options = SimOptions()) {
    std::string error;
    auto sim = StartFaultySim(options, error);
    EXPECT_TRUE(sim) << error;
    return sim;
}

TEST(CliFault, AHangUpInTheMiddleOfEitherSweepStopsItAndTheNextRunWorks) {
    struct Case {
        std::vector<std::string> words;
        std::string filter;
    } cases[] = {
        {{"sweep", "--samples", "16"}, "SF,450"},
        {{"sweep-bands", "--samples", "16", "--wavelengths", "340", "0", "510"}, "SF,340,425,510"}};
    for (const Case& c : cases) {
        SimOptions options;
        options.hangUpAfter = handshakeCommands + 11; // the WA of the 6th probe
        auto sim = Sim(options);
        ASSERT_TRUE(sim);
        const ProcessResult result = RunCli(sim->SlavePath(), c.words);
        EXPECT_EQ(result.exitCode, 1) << c.words[0];
        EXPECT_EQ(result.err, "Error in calibration\n") << c.words[0];
        EXPECT_EQ(result.out, "") << c.words[0];

        // a controller on a fresh line: the program is none the worse for it
        auto healthy = Sim();
        ASSERT_TRUE(healthy);
        ASSERT_EQ(RunCli(healthy->SlavePath(), {"send", c.filter}).exitCode, 0);
        const ProcessResult again = RunCli(healthy->SlavePath(), c.words);
        EXPECT_EQ(again.exitCode, 0) << c.words[0] << ": " << again.err;
        EXPECT_NE(again.out, "");
    }
}

// Killed, a run cannot take the reply to its last command: the next run must
// not take it for the answer to its own first one.
TEST(CliFault, ARunKilledInTheMiddleOfASweepLeavesNoReplyForTheRunsAfterIt) {
    SimOptions options;
    options.baud = 19200;
    auto sim = Sim(options);
    ASSERT_TRUE(sim);
    const std::string path = sim->SlavePath();
    const pid_t sweep = ::fork();
    ASSERT_GE(sweep, 0);
    if (sweep == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, 1);
        ::dup2(quiet, 2);
        ::execl(VORNADC_CLI, VORNADC_CLI, "--port", path.c_str(), "sweep", nullptr);
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(600)); // well into the sweep
    ASSERT_EQ(::kill(sweep, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(sweep, &status, 0), sweep);
    ASSERT_TRUE(WIFSIGNALED(status));
    for (int run = 0; run < 3; ++run) {
        const ProcessResult read = RunCli(path, {"read-calibration"});
        EXPECT_EQ(read.exitCode, 0) << "run " << run << ": " << read.err;
        EXPECT_EQ(read.out, "250 87 690 4013\n") << "run " << run;
    }
}

TEST(CliFault, ADroppedReplyFailsOnlyTheCommandItBelongsTo) {
    SimOptions options;
    options.dropEvery = 4;
    auto sim = Sim(options);
    ASSERT_TRUE(sim);
    // Every run opens the line afresh and sends RC,1 and RS before its own
    // command, while the simulator counts on: commands 4, 8 and 12 are dropped.
    const ProcessResult first = RunCli(sim->SlavePath(), {"id"}); // 1 to 3
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.out, "ADC-SIM 1.0\n");
    // 4 (RC,1) dropped: the range stays as it was, silently
    const ProcessResult second = RunCli(sim->SlavePath(), {"read-calibration"});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "250 87 690 4013\n");
    // 8 (RS) dropped: its reply is not looked at
    const ProcessResult third = RunCli(sim->SlavePath(), {"read-protocol"});
    EXPECT_EQ(third.exitCode, 0) << third.err;
    EXPECT_EQ(third.out, "30 200 200 4540 240 340 380\n");
    // 12 (RP) dropped
    const ProcessResult fourth = RunCli(sim->SlavePath(), {"read-protocol"});
    EXPECT_EQ(fourth.exitCode, 1);
    EXPECT_EQ(fourth.err, "Error reading!\n");
}

TEST(CliFault, GarbageRepliesEndEveryCommandWithAnExitStatusNotACrash) {
    SimOptions options;
    options.garbage = true;
    auto sim = Sim(options);
    ASSERT_TRUE(sim);
    const std::set<std::string> failures = {
        "No calibration read from the ADC\n", "No answer\n",
        "ADC doesn't accept parameters!\n",   "Error in calibration\n",
        "No reading of analogue channel 1\n", "No reply\n"};
    const std::vector<std::vector<std::string>> commands = {
        {"id"},
        {"range"},
        {"read-calibration"},
        {"write-calibration", "250", "87", "690", "4013"},
        {"probe", "2048"},
        {"send", "RS"},
        {"sweep", "--samples", "16"},
        {"sweep-bands", "--samples", "16"}};
    for (const auto& words : commands) {
        const ProcessResult result = RunCli(sim->SlavePath(), words);
        ASSERT_TRUE(result.exitCode == 0 || result.exitCode == 1)
            << words[0] << " ended with " << result.exitCode << ": " << result.err;
        if (result.exitCode == 1) {
            EXPECT_EQ(failures.count(result.err), 1u) << words[0] << ": " << result.err;
        }
    }
    const ProcessResult write =
        RunCli(sim->SlavePath(), {"write-calibration", "250", "87", "690", "4013"});
    EXPECT_EQ(write.exitCode, 1); // never reported as accepted
}

TEST(CliFault, ABabblingControllerEndsTheRunAtTheLineCap) {
    SimOptions options;
    options.babble = true;
    auto sim = Sim(options);
    ASSERT_TRUE(sim);
    const ProcessResult result = RunCli(sim->SlavePath(), {"read-calibration"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "No calibration read from the ADC\n");
}

TEST(CliFault, APortHeldByAnotherProcessIsReportedWithTheSystemsText) {
    auto sim = Sim();
    ASSERT_TRUE(sim);
    PortHolder holder;
    std::string error;
    ASSERT_TRUE(holder.Hold(sim->SlavePath(), error)) << error;
    const ProcessResult held = RunCli(sim->SlavePath(), {"id"});
    EXPECT_EQ(held.exitCode, 1);
    EXPECT_EQ(held.err, "Port Initialisation Error:\nDevice or resource busy\n");
    holder.Release();
    const ProcessResult free = RunCli(sim->SlavePath(), {"id"});
    EXPECT_EQ(free.exitCode, 0) << free.err;
    EXPECT_EQ(free.out, "ADC-SIM 1.0\n");
}

} // namespace
