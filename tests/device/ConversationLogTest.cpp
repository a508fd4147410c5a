#include "device/ConversationLog.h"
#include "device/LinkTest.h"

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

TEST_F(ConversationLogTest, AWriteThatStoppedEarlyShowsWhatWentOut) {
    ConversationLog log;
    std::string error;
    ASSERT_TRUE(log.Open(path, error)) << error;
    const Clock::time_point from = Clock::now();
    log.Sent("RC;\r\n", 2);
    log.Sent("ID;\r\n", -1);
    log.Close();
    EXPECT_EQ(Lines(from, Clock::now()), (std::vector<std::string>{"sent-short RC", "sent-short"}));
}

} // namespace
