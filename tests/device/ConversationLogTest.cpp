#include "device/ConversationLog.h"
#include "device/LinkTest.h"
#include "sim/PseudoTerminal.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

class ConversationLogTest : public LinkTest {
protected:
    void TearDown() override {
        std::string ignored;
        AdcLink::StartLog("", ignored);
        fs::remove(path);
        LinkTest::TearDown();
    }

    // The log's lines with their timestamps taken off. Each stamp lies between
    // from and to, to the microsecond, and none before the one above it.
    std::vector<std::string> Lines(Clock::time_point from, Clock::time_point to) {
        std::ifstream in(path);
        std::vector<std::string> lines;
        const std::regex form(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6}( |$))");
        Clock::time_point last = std::chrono::floor<std::chrono::microseconds>(from);
        for (std::string line; std::getline(in, line);) {
            if (line == before) {
                lines.push_back(line);
                continue;
            }
            std::tm local{};
            std::istringstream stampText(line);
            stampText >> std::get_time(&local, "%Y-%m-%d %H:%M:%S");
            if (!std::regex_search(line, form) || stampText.fail()) {
                ADD_FAILURE() << line;
                continue;
            }
            local.tm_isdst = -1;
            const auto stamp = Clock::from_time_t(std::mktime(&local)) +
                               std::chrono::microseconds(std::stol(line.substr(20, 6)));
            EXPECT_GE(stamp, last) << line;
            EXPECT_LE(stamp, to) << line;
            last = stamp;
            lines.push_back(line.substr(std::min<std::size_t>(line.size(), 27)));
        }
        return lines;
    }

    const std::string before = "kept from before"; // the file's line before the log began
    const std::string path =
        (fs::temp_directory_path() / ("conversation_" + std::to_string(::getpid()) + ".log"))
            .string();
};

TEST_F(ConversationLogTest, EveryByteEachWayOneLineACommandOrReplyWithHowItEnded) {
    std::ofstream(path) << before << "\n";
    const Clock::time_point from = Clock::now();
    std::string error;
    ASSERT_TRUE(AdcLink::StartLog(path, error)) << error;
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RC;\r\n")
        .Reply("RC;\r\n1,\\\x01\r\n")
        .Expect("ID;\r\n")
        .Reply("ab")
        .Expect("RP;\r\n")
        .Reply(std::string(9000, 'x'))
        .Pause(700)
        .Reply("12")
        .Pause(50)
        .HangUp();
    Connect();
    std::string reply;
    EXPECT_TRUE(AdcLink::SendCommand("RC;\r\n"));
    EXPECT_TRUE(AdcLink::ReadReply(reply));
    EXPECT_TRUE(AdcLink::SendCommand("ID;\r\n"));
    EXPECT_TRUE(AdcLink::ReadReply(reply));
    EXPECT_TRUE(AdcLink::SendCommand("RP;\r\n"));
    EXPECT_FALSE(AdcLink::ReadReply(reply)); // over-long: 4096 bytes read, 4096 discarded
    EXPECT_TRUE(AdcLink::ReadReply(reply));  // the 808 left, then a time-out
    EXPECT_FALSE(AdcLink::ReadReply(reply)); // "12", then the hang-up
    EXPECT_EQ(controller.Finish(), "");
    const std::vector<std::string> expected = {
        "kept from before",
        "sent RC,1;\\r\\n",
        "received-lf (240,699)\\r\\n",
        "sent RS;\\r\\n",
        "received-lf RS,0!\\r\\n",
        "sent RC;\\r\\n",
        "received-lf RC;\\r\\n",
        "received-lf 1,\\\\\\x01\\r\\n",
        "sent ID;\\r\\n",
        "received-timeout ab",
        "sent RP;\\r\\n",
        "received-limit " + std::string(8192, 'x'),
        "received-timeout " + std::string(9000 - 8192, 'x'),
        "received-failed 12",
    };
    EXPECT_EQ(Lines(from, Clock::now()), expected);
}

#ifndef _WIN32 // both need a real line: one that fills up, one paced at 110 baud
TEST_F(ConversationLogTest, AWriteThatStoppedEarlyIsSentShortWithWhatWentOutAFailedOneSentFailed) {
    PseudoTerminal line; // nobody reads it: the line's buffers fill up
    std::string error, mode;
    ASSERT_TRUE(line.Open(error)) << error;
    ASSERT_TRUE(AdcLink::OpenPort(line.SlavePath(), mode, error)) << error;
    ASSERT_TRUE(AdcLink::StartLog(path, error)) << error;
    const Clock::time_point from = Clock::now();
    const std::string command = "WA,1," + std::string(40, '1') + ";\r\n";
    int sent = 0;
    while (sent < 100000 && AdcLink::SendCommand(command))
        ++sent;
    line.HangUp();
    EXPECT_FALSE(AdcLink::SendCommand("ID;\r\n")); // fails before any byte
    const std::vector<std::string> lines = Lines(from, Clock::now());
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(sent) + 2);
    EXPECT_EQ(lines[0], "sent WA,1," + std::string(40, '1') + ";\\r\\n");
    const std::string escaped = lines[0].substr(5);
    const std::string shortLine = lines[lines.size() - 2];
    ASSERT_EQ(shortLine.rfind("sent-short", 0), 0u) << shortLine;
    const std::string wentOut = shortLine.size() > 10 ? shortLine.substr(11) : "";
    EXPECT_EQ(escaped.rfind(wentOut, 0), 0u) << shortLine; // a part from the start
    EXPECT_LT(wentOut.size(), escaped.size()) << shortLine;
    EXPECT_EQ(lines.back(), "sent-failed ID;\\r\\n");
}

TEST_F(ConversationLogTest, AFreshOpenDropsWhatAnEarlierRunLeftAndLogsWhatStillArrived) {
    // A killed run's replies: one waiting in the line, more still coming while
    // the line is not yet quiet (at 110 baud three characters take 273 ms).
    const std::string stale = "RA,1,2048\r\n";
    for (int i = 0; i < 3; ++i)
        controller.Pause(30).Reply(stale);
    ScriptHandshake(controller, "(380,680)");
    std::string error, mode = "baud=110 parity=n data=8 stop=1";
    ASSERT_TRUE(AdcLink::StartLog(path, error)) << error;
    const Clock::time_point from = Clock::now();
    ASSERT_TRUE(controller.Start(error)) << error;
    ASSERT_EQ(::write(controller.MasterFd(), stale.data(), stale.size()), 11);
    ASSERT_TRUE(AdcLink::OpenPort(controller.SlavePath(), mode, error)) << error;
    EXPECT_EQ(AdcLink::MinWavelength(), 380);
    EXPECT_EQ(AdcLink::MaxWavelength(), 680);
    EXPECT_EQ(controller.Finish(), "");
    const std::vector<std::string> lines = Lines(from, Clock::now());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(discarded (RA,1,2048\\r\\n){1,3})")))
        << lines[0];
    EXPECT_EQ(lines[1], "sent RC,1;\\r\\n");
    EXPECT_EQ(lines[2], "received-lf (380,680)\\r\\n");
}

#endif

} // namespace
