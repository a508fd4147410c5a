#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/RunInProcess.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(ParseCliArguments, TakesOptionsBeforeTheCommandAndTheRestAsArguments) {
    CliInvocation invocation;
    std::string error;
    ASSERT_TRUE(ParseCliArguments({"--port", "/dev/pts/3", "--mode=baud=9600 parity=e", "--log",
                                   "/tmp/x.log", "send", "--port", "x"},
                                  invocation, error))
        << error;
    EXPECT_EQ(invocation.port, "/dev/pts/3");
    EXPECT_EQ(invocation.mode, "baud=9600 parity=e");
    EXPECT_EQ(invocation.log, "/tmp/x.log");
    EXPECT_EQ(invocation.command, "send");
    EXPECT_EQ(invocation.arguments, (std::vector<std::string>{"--port", "x"}));

    CliInvocation defaults;
    ASSERT_TRUE(ParseCliArguments({"range"}, defaults, error));
    EXPECT_EQ(defaults.port, "SIM");
    EXPECT_EQ(defaults.mode, "");
    EXPECT_EQ(defaults.log, "");
    ASSERT_TRUE(ParseCliArguments({"a-b"}, defaults, error)); // only "--" starts an option
    EXPECT_EQ(defaults.command, "a-b");
}

TEST(ParseCliArguments, RefusesMissingCommandsAndValuesAndUnknownOptions) {
    const struct {
        std::vector<std::string> words;
        const char* error;
    } cases[] = {{{}, "no command given"},
                 {{"--port"}, "--port needs a value"},
                 {{"--port", "COM2"}, "no command given"},
                 {{"--log"}, "--log needs a value"},
                 {{"--speed", "9600", "range"}, "unknown option --speed"}};
    for (const auto& c : cases) {
        CliInvocation invocation;
        std::string error;
        EXPECT_FALSE(ParseCliArguments(c.words, invocation, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(ParseInt32, AcceptsExactlyTheSigned32BitDecimals) {
    int32_t value = 0;
    EXPECT_TRUE(ParseInt32("-2147483648", value));
    EXPECT_EQ(value, INT32_MIN);
    EXPECT_TRUE(ParseInt32("+2147483647", value));
    EXPECT_EQ(value, INT32_MAX);
    for (const char* bad :
         {"", "-", "2147483648", "-2147483649", "12a", " 12", "1.5", "99999999999999999999"})
        EXPECT_FALSE(ParseInt32(bad, value)) << bad;
}

TEST(RunCli, UsageErrorsExitWithTwoBeforeAnyPortIsOpened) {
    // The port named does not exist: reaching it would be exit 1, not 2.
    for (const std::vector<std::string>& words : std::vector<std::vector<std::string>>{
             {},
             {"--port", "/nonexistent", "frobnicate"},
             {"--port", "/nonexistent", "set-wavelength"},
             {"--port", "/nonexistent", "set-wavelength", "abc"},
             {"--port", "/nonexistent", "probe", "1", "2"},
             {"--port", "/nonexistent", "probe", "-1"},
             {"--port", "/nonexistent", "probe", "4096"},
             {"--port", "/nonexistent", "probe", "99999"},
             {"--port", "/nonexistent", "define-protocol", "1", "2", "3", "4", "5", "6"},
             {"--port", "/nonexistent", "range", "extra"},
             {"--port", "/nonexistent", "ports", "--wide"},
             {"--port", "/nonexistent", "ports", "--long", "--long"},
             {"--port", "/nonexistent", "send", "ID\nRC"},
             {"--port", "/nonexistent", "send", "SF,450\r"}}) {
        std::string out, err;
        EXPECT_EQ(RunInProcess(words, out, err), 2) << ::testing::PrintToString(words);
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find("usage: vornadc-cli"), std::string::npos);
    }
    // the ends of the counts range pass the check and reach the (missing) port
    for (const char* counts : {"0", "4095"}) {
        std::string out, err;
        EXPECT_EQ(RunInProcess({"--port", "/nonexistent", "probe", counts}, out, err), 1) << counts;
    }
    std::string out, err; // a command of several, on one line
    EXPECT_EQ(RunInProcess({"--port", "/nonexistent", "send", "ID;RC"}, out, err), 1);
}

TEST(RunCli, HelpAndPortsNeedNoDevice) {
    std::string out, err;
    EXPECT_EQ(RunInProcess({"--help"}, out, err), 0);
    EXPECT_NE(out.find("read-calibration"), std::string::npos);
    EXPECT_EQ(RunInProcess({"--port", "/nonexistent", "ports"}, out, err), 0);
    EXPECT_EQ(out.rfind("COM1\nCOM2\nCOM3\nCOM4\n", 0), 0u);
    EXPECT_GE(out.size(), 4u);
    EXPECT_EQ(out.substr(out.size() - 4), "SIM\n"); // the simulated controller is always offered
    EXPECT_EQ(RunInProcess({"--port", "/nonexistent", "range"}, out, err), 1);
    // The system text ("No such file or directory", Windows' "File not found."),
    // a hint on one line (the ports here or none), and the end of the line.
    EXPECT_EQ(err.rfind("Port Initialisation Error:\n", 0), 0u) << err;
    EXPECT_TRUE(err.find(" (ports here: ") != std::string::npos ||
                err.find(" (no serial ports found)") != std::string::npos)
        << err;
    EXPECT_EQ(err.find('\n', 27), err.size() - 1) << err;
    EXPECT_EQ(err.substr(err.size() - 2), ")\n") << err;
}

} // namespace
