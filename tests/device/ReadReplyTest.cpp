#include "device/LinkTest.h"

#include <chrono>
#include <utility>
#include <vector>

namespace {

using ReadReply = LinkTest;

// Replies delivered and reads left silent since before.
std::pair<int64_t, int64_t> TallySince(const AdcLink::ReplyTally& before) {
    const AdcLink::ReplyTally now = AdcLink::CountReplies();
    return {now.delivered - before.delivered, now.timedOut - before.timedOut};
}

TEST_F(ReadReply, DropsOneEchoLineAndCutsThroughTheFirstSemicolon) {
    ScriptHandshake(controller, "(240,699)");
    controller.Reply("RC,1;\r\n(380,680)\r\n")
        .Reply("RC;1000,0,2000,4095\r\n")
        .Reply("ID;\r\nID;\r\nV1\r\n");
    Connect();
    const AdcLink::ReplyTally before = AdcLink::CountReplies();
    std::string reply;
    EXPECT_TRUE(AdcLink::ReadReply(reply));
    EXPECT_EQ(reply, "(380,680)");
    EXPECT_TRUE(AdcLink::ReadReply(reply));
    EXPECT_EQ(reply, "1000,0,2000,4095");
    // Only one echo line is dropped: the second 'ID;' is cut to nothing.
    EXPECT_FALSE(AdcLink::ReadReply(reply));
    EXPECT_TRUE(AdcLink::ReadReply(reply));
    EXPECT_EQ(reply, "V1");
    EXPECT_EQ(TallySince(before),
              std::make_pair(int64_t{3}, int64_t{0})); // a cut line is no silence
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(ReadReply, ALoneSemicolonIsNoReply) {
    ScriptHandshake(controller, "(240,699)");
    controller.Reply(";\r\n").Reply("RC;").Pause(1500).Reply(";");
    Connect();
    const AdcLink::ReplyTally before = AdcLink::CountReplies();
    std::string reply = "old";
    EXPECT_FALSE(AdcLink::ReadReply(reply));
    EXPECT_EQ(reply, "");
    EXPECT_EQ(TallySince(before), std::make_pair(int64_t{0}, int64_t{0}));
    // An echo and then silence is silence; a lone ";" before the time-out is not.
    EXPECT_FALSE(AdcLink::ReadReply(reply));
    EXPECT_EQ(TallySince(before), std::make_pair(int64_t{0}, int64_t{1}));
    EXPECT_FALSE(AdcLink::ReadReply(reply));
    EXPECT_EQ(TallySince(before), std::make_pair(int64_t{0}, int64_t{1}));
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(ReadReply, APartialLineIsDeliveredAfterOneTimeout) {
    ScriptHandshake(controller, "(240,699)");
    controller.Reply("ab");
    Connect();
    const int64_t before = AdcLink::ReadTimeoutCount();
    const AdcLink::ReplyTally tally = AdcLink::CountReplies();
    std::string reply;
    EXPECT_TRUE(AdcLink::ReadReply(reply));
    EXPECT_EQ(reply, "ab");
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 1);
    EXPECT_EQ(TallySince(tally), std::make_pair(int64_t{1}, int64_t{0}));
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(ReadReply, SilenceFailsAfterOneTimeoutWithAnEmptyReply) {
    ScriptHandshake(controller, "(240,699)");
    Connect();
    const int64_t before = AdcLink::ReadTimeoutCount();
    const AdcLink::ReplyTally tally = AdcLink::CountReplies();
    const auto start = std::chrono::steady_clock::now();
    std::string reply = "old";
    EXPECT_FALSE(AdcLink::ReadReply(reply));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(reply, "");
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 1);
    EXPECT_EQ(TallySince(tally), std::make_pair(int64_t{0}, int64_t{1}));
    EXPECT_GE(elapsed, std::chrono::milliseconds(450)); // the read waited for its time-out
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(ReadReply, AnOverlongLineIsDiscardedAndTakenForTheEchoWhenItEndsInASemicolon) {
    // The line reaches the 4096-byte bound; its rest is discarded up to the LF,
    // at most 4096 bytes more. Its last byte before LF, CR dropped, decides.
    struct Row {
        std::string line;
        std::vector<std::pair<bool, std::string>> replies; // then "(380,680)"
    } rows[] = {
        {std::string(5000, 'x') + "\r\n", {{false, ""}}},
        {std::string(5000, 'x') + ";\r\n", {}},
        {std::string(5000, 'x') + ";x\r\n", {{false, ""}}},
        {std::string(4095, 'x') + ";\r\n", {}}, // ";" is the last byte within the bound
        {std::string(8190, 'x') + ";\n", {}},   // LF is the last byte discarded
        // No LF within the discard limit: fails, and the LF ends an empty line.
        {std::string(8191, 'x') + ";\n", {{false, ""}, {false, ""}}},
        // A normal echo, then an over-long reply: its rest is discarded too.
        {"RP;\r\n" + std::string(5000, 'x') + "\r\n", {{false, ""}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line.size());
        ScriptedController line;
        ScriptHandshake(line, "(240,699)");
        line.Reply(row.line + "(380,680)\r\n");
        std::string error, mode;
        ASSERT_TRUE(line.Start(error)) << error;
        ASSERT_TRUE(AdcLink::OpenPort(line.SlavePath(), mode, error)) << error;
        std::string reply;
        for (const auto& [ok, text] : row.replies) {
            EXPECT_EQ(AdcLink::ReadReply(reply), ok);
            EXPECT_EQ(reply, text);
        }
        EXPECT_TRUE(AdcLink::ReadReply(reply));
        EXPECT_EQ(reply, "(380,680)");
        EXPECT_EQ(line.Finish(), "");
        AdcLink::ClosePort();
    }
}

TEST_F(ReadReply, AnEndlessLineWithoutFeedStopsTheReaderAfterTwoBounds) {
    ScriptHandshake(controller, "(240,699)");
    // More than both bounds together, then a proper line.
    controller.Reply(std::string(9000, 'x') + "\nOK\n");
    Connect();
    std::string reply;
    EXPECT_FALSE(AdcLink::ReadReply(reply)); // 4096 bytes read, at most 4096 more discarded
    EXPECT_TRUE(AdcLink::ReadReply(reply));  // the 808 left of that line
    EXPECT_EQ(reply, std::string(9000 - 2 * 4096, 'x'));
    EXPECT_TRUE(AdcLink::ReadReply(reply));
    EXPECT_EQ(reply, "OK");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(ReadReply, AHangUpEndsTheLineAsAFailure) {
    ScriptHandshake(controller, "(240,699)");
    controller.Reply("12").Pause(50).HangUp();
    Connect();
    const int64_t before = AdcLink::ReadTimeoutCount();
    const AdcLink::ReplyTally tally = AdcLink::CountReplies();
    std::string reply;
    EXPECT_FALSE(AdcLink::ReadReply(reply));
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 0); // ended by the hang-up, not a time-out
    EXPECT_EQ(TallySince(tally), std::make_pair(int64_t{0}, int64_t{0}));
    EXPECT_FALSE(AdcLink::SendCommand("RC;\r\n"));
    EXPECT_TRUE(AdcLink::IsPortOpen()); // a failure never closes the port
    EXPECT_EQ(controller.Finish(), "");
}

TEST(ReadReplyWithoutPort, FailsAndLeavesTheReplyAlone) {
    std::string reply = "kept";
    EXPECT_FALSE(AdcLink::ReadReply(reply));
    EXPECT_EQ(reply, "kept");
    EXPECT_FALSE(AdcLink::SendCommand("RC;\r\n"));
}

} // namespace
