#include "sim/SimOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(SimOptions, ParsesEveryFlag) {
    SimOptions options;
    std::string error;
    ASSERT_TRUE(ParseSimArguments(
        {"--echo",   "--range-probe", "--noise",       "0.5",     "--seed=77", "--baud",
         "9600",     "--filter",      "300,450.5,600", "--fault", "drop:3",    "--fault=hangup:10",
         "--fault",  "garbage",       "--fault",       "babble",  "--log",     "/tmp/x.log",
         "--listen", "[::1]:4001"},
        options, error))
        << error;
    EXPECT_TRUE(options.echo);
    EXPECT_TRUE(options.rangeProbe);
    EXPECT_DOUBLE_EQ(options.noiseSigma, 0.5);
    EXPECT_EQ(options.seed, 77u);
    EXPECT_EQ(options.baud, 9600);
    EXPECT_EQ(options.filterBands, (std::vector<double>{300, 450.5, 600}));
    EXPECT_EQ(options.dropEvery, 3);
    EXPECT_EQ(options.hangUpAfter, 10);
    EXPECT_TRUE(options.garbage);
    EXPECT_TRUE(options.babble);
    EXPECT_EQ(options.logPath, "/tmp/x.log");
    EXPECT_EQ(options.listenHost, "::1");
    EXPECT_EQ(options.listenPort, "4001");

    SimOptions single;
    ASSERT_TRUE(ParseSimArguments({"--filter", "480", "--listen=localhost:0"}, single, error));
    EXPECT_EQ(single.filterBands, (std::vector<double>{480}));
    EXPECT_EQ(single.listenHost, "localhost");
    EXPECT_EQ(single.listenPort, "0"); // the system picks one
}

TEST(SimOptions, RejectsBadArgumentsAndKeepsTheOptions) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--noise"},
        {"--noise", "-1"},
        {"--noise", "x"},
        {"--seed", "-3"},
        {"--baud", "0"},
        {"--baud", "12abc"},
        {"--filter", "300,400"},
        {"--filter", "300,,400"},
        {"--filter", "-5"},
        {"--fault", "drop:0"},
        {"--fault", "drop:"},
        {"--fault", "hangup:x"},
        {"--fault", "loud"},
        {"--echo=1"},
        {"--log", ""},
        {"--listen", "127.0.0.1"},
        {"--listen", "127.0.0.1:65536"},
        {"--listen", "127.0.0.1:00"},
        {"--listen", "socket://127.0.0.1:4001"},
        {"--listen", ":4001"},
    };
    for (const auto& arguments : bad) {
        SimOptions options;
        options.noiseSigma = 1.25;
        std::string error;
        EXPECT_FALSE(ParseSimArguments(arguments, options, error)) << arguments[0];
        EXPECT_FALSE(error.empty()) << arguments[0];
        EXPECT_DOUBLE_EQ(options.noiseSigma, 1.25) << arguments[0];
    }
}

TEST(SimOptions, UsageNamesEveryFlag) {
    const std::string usage = SimUsage();
    for (const char* flag :
         {"--echo", "--range-probe", "--noise", "--seed", "--baud", "--filter", "drop:K",
          "hangup:K", "garbage", "babble", "--log", "--listen", "--help"})
        EXPECT_NE(usage.find(flag), std::string::npos) << flag;
}

} // namespace
