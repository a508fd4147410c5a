#include "LinkTest.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ConversationLogTest : public LinkTest {
protected:
    void TearDown() override {
        std::string ignored;
        AdcLink::StartLog("", ignored);
        fs::remove(path);
        LinkTest::TearDown();
    }

    // The log's lines with their timestamps checked and taken off.
    std::vector<std::string> Lines() {
        std::ifstream in(path);
        std::vector<std::string> lines;
        const std::regex stamp(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{6} )");
        for (std::string line; std::getline(in, line);) {
            if (line == before) {
                lines.push_back(line);
                continue;
            }
            EXPECT_TRUE(std::regex_search(line, stamp)) << line;
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
    EXPECT_EQ(Lines(), expected);
}

} // namespace
