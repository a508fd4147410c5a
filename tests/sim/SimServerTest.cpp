#include "sim/SimServer.h"
#include "device/AdcLink.h"
#include "device/DevicePorts.h"
#include "serial/NamedPort.h"
#include "sim/InProcessSim.h"
#include "sim/SimClient.h"
#include "support/AnotherUser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

SimOptions Quiet() {
    SimOptions options;
    options.noiseSigma = 0.0;
    return options;
}

TEST(SimServer, AnswersOverThePseudoTerminalWhateverTheLineEnds) {
    SimServer server(Quiet());
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    SimClient client(server.SlavePath());
    ASSERT_TRUE(client.IsOpen());

    ASSERT_TRUE(client.Write("RC,1;\r\n"));
    EXPECT_EQ(client.ReadLine(), "(240,699)\r\n");
    // Two commands in one write, then one split over two writes, LF and CR alone.
    ASSERT_TRUE(client.Write("ID;\nRS;\r"));
    EXPECT_EQ(client.ReadLine(), "ADC-SIM 1.0\r\n");
    EXPECT_EQ(client.ReadLine(), "RS,0!\r\n");
    ASSERT_TRUE(client.Write("RC"));
    EXPECT_EQ(client.ReadLine(200ms), "");
    ASSERT_TRUE(client.Write(";\r\n"));
    EXPECT_EQ(client.ReadLine(), "250,87,690,4013\r\n");
    // Blank lines are not commands.
    ASSERT_TRUE(client.Write("\r\n\r\n"));
    EXPECT_EQ(client.ReadLine(200ms), "");
    EXPECT_TRUE(server.IsServing());
}

TEST(SimServer, EchoesAndLogsEveryByteBothWays) {
    SimOptions options = Quiet();
    options.echo = true;
    options.logPath = ::testing::TempDir() + "sim-server-log.txt";
    {
        SimServer server(options);
        std::string error;
        ASSERT_TRUE(server.Start(error)) << error;
        SimClient client(server.SlavePath());
        ASSERT_TRUE(client.Write("ID;\r\n"));
        EXPECT_EQ(client.ReadLine(), "ID;\r\n");
        EXPECT_EQ(client.ReadLine(), "ADC-SIM 1.0\r\n");
    }
    std::ifstream log(options.logPath);
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_EQ(text.str(), "RX ID;\\r\\n\nTX ID;\\r\\nADC-SIM 1.0\\r\\n\n");
}

TEST(SimServer, RefusesToStartWhenTheLogCannotBeWritten) {
    SimOptions options;
    options.logPath = "/nonexistent-dir/sim.log";
    SimServer server(options);
    std::string error;
    EXPECT_FALSE(server.Start(error));
    EXPECT_NE(error.find("/nonexistent-dir/sim.log"), std::string::npos);
    EXPECT_FALSE(server.IsServing());
}

TEST(SimServer, DropFaultLeavesEveryKthCommandUnanswered) {
    SimOptions options = Quiet();
    options.dropEvery = 2;
    SimServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    SimClient client(server.SlavePath());
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(client.Write("RS;\r\n"));
        EXPECT_EQ(client.ReadLine(), "RS,0!\r\n");
        ASSERT_TRUE(client.Write("RS;\r\n"));
        EXPECT_EQ(client.ReadLine(300ms), "");
    }
}

TEST(SimServer, HangUpFaultClosesTheLineAfterTheKthReply) {
    SimOptions options = Quiet();
    options.hangUpAfter = 2;
    SimServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    SimClient client(server.SlavePath());
    ASSERT_TRUE(client.Write("ID;\r\n"));
    EXPECT_EQ(client.ReadLine(), "ADC-SIM 1.0\r\n");
    EXPECT_FALSE(client.SawHangUp(100ms));
    ASSERT_TRUE(client.Write("RS;\r\n"));
    EXPECT_EQ(client.ReadLine(), "RS,0!\r\n");
    EXPECT_TRUE(client.SawHangUp(1000ms));
    for (int i = 0; i < 100 && server.IsServing(); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(server.IsServing());
}

TEST(SimServer, GarbageFaultSendsALineOfRandomBytesPerCommand) {
    SimOptions options = Quiet();
    options.garbage = true;
    SimServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    SimClient client(server.SlavePath());
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(client.Write("RC,1;\r\n"));
        const std::string line = client.ReadLine();
        ASSERT_GE(line.size(), 3u);
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
        EXPECT_NE(line, "(240,699)\r\n");
    }
}

TEST(SimServer, BabbleFaultNeverEndsALineAndStillStopsPromptly) {
    SimOptions options = Quiet();
    options.babble = true;
    SimServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    {
        SimClient client(server.SlavePath());
        ASSERT_TRUE(client.Write("ID;\r\n"));
        EXPECT_EQ(client.ReadLine(), "ADC-SIM 1.0\r\n");
        ASSERT_TRUE(client.Write("RS;\r\n")); // no longer answered
        const std::string babble = client.ReadLine(1000ms, 600);
        EXPECT_EQ(babble.size(), 600u);
        EXPECT_EQ(babble.find_first_of("\r\n"), std::string::npos);
    }
    // Nobody reads now: the line's buffer fills and the server waits to write.
    std::this_thread::sleep_for(500ms);
    const auto start = std::chrono::steady_clock::now();
    server.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_FALSE(server.IsServing());
}

TEST(SimServer, BaudRatePacesTheBytesBothWays) {
    SimOptions options = Quiet();
    options.baud = 1200; // 120 bytes a second
    SimServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    SimClient client(server.SlavePath());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.Write("RP;\r\n"));
    EXPECT_EQ(client.ReadLine(3000ms), "30,200,200,4540,240,340,380\r\n");
    // 5 bytes in and 29 out take at least 34 / 120 s.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 280ms);
}

TEST(SimServer, APacedReplyAfterAQuietSpellStillComesByteByByte) {
    SimOptions options = Quiet();
    options.baud = 1200; // a byte every 8.3 ms
    SimServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    SimClient client(server.SlavePath());
    ASSERT_TRUE(client.Write("RP;\r\n"));
    EXPECT_EQ(client.ReadLine(3000ms), "30,200,200,4540,240,340,380\r\n");
    // The clocks of the first exchange lie in the past now; none of it may
    // let the next reply out faster than the line.
    std::this_thread::sleep_for(300ms);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.Write("RP;\r\n"));
    EXPECT_EQ(client.ReadLine(3000ms, 1), "3");
    const auto first = std::chrono::steady_clock::now();
    EXPECT_EQ(client.ReadLine(3000ms), "0,200,200,4540,240,340,380\r\n");
    const auto last = std::chrono::steady_clock::now();
    // 5 bytes in, then the first byte out: at least 5 byte times even with
    // the one byte time a reply may make up.
    EXPECT_GE(first - start, 41ms);
    // The other 28 bytes follow one by one.
    EXPECT_GE(last - first, 230ms);
}

TEST(SimServer, AClientKilledWhileHoldingTheLineExclusivelyLocksNoOneOut) {
    SimServer server(Quiet());
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
    const std::string path = server.SlavePath();
    ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
    const pid_t holder = ::fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) { // takes the line as the program does, then dies unable to give it back
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        if (fd >= 0)
            ::ioctl(fd, TIOCEXCL);
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFSIGNALED(status));
    // The simulator ends the mode once it hears of the close.
    int openError = EBUSY;
    for (int i = 0; i < 200 && openError == EBUSY; ++i) {
        openError = PlainOpenErrorAsAnotherUser(path);
        if (openError == EBUSY)
            std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(openError, 0);
    SimClient client(path);
    ASSERT_TRUE(client.Write("RC,1;\r\n"));
    EXPECT_EQ(client.ReadLine(), "(240,699)\r\n");
}

TEST(SimServer, InProcessPortIsStartedOnceAndAnswers) {
    std::string error;
    const std::string path = Sim::InProcessPortPath(error);
    ASSERT_FALSE(path.empty()) << error;
    EXPECT_EQ(Sim::InProcessPortPath(error), path);
    SimClient client(path);
    ASSERT_TRUE(client.IsOpen());
    ASSERT_TRUE(client.Write("RC,1;\r\n"));
    EXPECT_EQ(client.ReadLine(), "(240,699)\r\n");
}

TEST(SimServer, SimOpensTheBuiltInSimulatedControllerThroughTheLink) {
    DevicePorts::Register(Sim::InProcessPort());
    std::string mode, errorText;
    ASSERT_TRUE(AdcLink::OpenPort("SIM", mode, errorText)) << errorText;
    EXPECT_TRUE(AdcLink::IsPortOpen());
    int32_t lw = 0, lc = 0, hw = 0, hc = 0;
    EXPECT_TRUE(AdcLink::ReadCalibration(lw, lc, hw, hc));
    EXPECT_LT(lw, hw);
    EXPECT_LT(lc, hc);
    AdcLink::ClosePort();
}

} // namespace
