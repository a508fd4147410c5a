#include "device/LinkTest.h"
#include "device/TerminalCommand.h"
#include "device/VersionQuery.h"
#include "device/WavelengthCommand.h"

namespace {

TEST(ClampWavelength, BelowMinGivesMinThenAboveMaxGivesMax) {
    EXPECT_EQ(ClampWavelength(9999, 240, 699), 699);
    EXPECT_EQ(ClampWavelength(100, 240, 699), 240);
    EXPECT_EQ(ClampWavelength(340, 240, 699), 340);
    EXPECT_EQ(ClampWavelength(100, 700, 600), 600); // min above max: max wins
}

TEST(PrepareWavelength, BuildsTheCommandAndTheTryingLine) {
    const WavelengthRequest request = PrepareWavelength(9999, 240, 699);
    EXPECT_EQ(request.wavelength, 699);
    EXPECT_EQ(request.command, "WL,699;\r\n");
    EXPECT_EQ(request.tryingText, "... trying to set wavelength to 699 nm");
}

TEST(SetWavelength, WithoutAPortReportsNoConnection) {
    const WavelengthOutcome outcome = SetWavelength(PrepareWavelength(340, 240, 699));
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.statusText, " ERROR: No connection to the ADC/QMB !!");
    EXPECT_EQ(outcome.reply, "");
}

using SharedCommands = LinkTest;

TEST_F(SharedCommands, SetWavelengthShowsEachOutcome) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("WL,340;\r\n").Reply("WL;xxWL,0!yy\r\n");
    controller.Expect("WL,340;\r\n").Reply("WL,3!\r\n");
    controller.Expect("WL,340;\r\n");
    Connect();
    const WavelengthRequest request = PrepareWavelength(340, 240, 699);
    WavelengthOutcome outcome = SetWavelength(request);
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.statusText, " Wavelength is set to  :  340 nm");
    EXPECT_EQ(outcome.reply, "xxWL,0!yy");
    outcome = SetWavelength(request);
    EXPECT_FALSE(outcome.success);
    EXPECT_EQ(outcome.statusText, " ERROR: Wavelength could not be set! ");
    EXPECT_EQ(outcome.reply, "WL,3!");
    outcome = SetWavelength(request);
    EXPECT_EQ(outcome.statusText, " ERROR: No response from the the ADC/QMB !!");
    EXPECT_EQ(outcome.reply, "");
    EXPECT_EQ(controller.Finish(), "");
}

TEST(CompleteTerminalCommand, AppendsASemicolonOnlyWhenMissing) {
    EXPECT_EQ(CompleteTerminalCommand("rc"), "rc;");
    EXPECT_EQ(CompleteTerminalCommand("a;b"), "a;b;");
    EXPECT_EQ(CompleteTerminalCommand("RC;"), "RC;");
    EXPECT_EQ(CompleteTerminalCommand(""), "");
}

TEST_F(SharedCommands, TerminalSendsWithCrLfAndReadsOneReplyEvenWhenNothingIsSent) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("a;b;\r\n").Reply("b;\r\nfirst\r\nsecond\r\n");
    Connect();
    TerminalOutcome outcome = ExchangeTerminalCommand(CompleteTerminalCommand("a;b"));
    EXPECT_TRUE(outcome.sent);
    EXPECT_TRUE(outcome.replied);
    EXPECT_EQ(outcome.reply, "first");
    // A line end anywhere in the command: nothing goes out and nothing is read,
    // so the pending line stays for the next send.
    for (const char* typed : {"ID\nRC", "SF,450\n", "\r", "RS;\r\n"}) {
        outcome = ExchangeTerminalCommand(CompleteTerminalCommand(typed));
        EXPECT_TRUE(outcome.refused) << Printable(typed);
        EXPECT_FALSE(outcome.sent || outcome.replied) << Printable(typed);
    }
    outcome = ExchangeTerminalCommand("");
    EXPECT_FALSE(outcome.refused);
    EXPECT_FALSE(outcome.sent);
    EXPECT_EQ(outcome.reply, "second"); // the pending line comes with the next send
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(SharedCommands, VersionDrainsPendingRepliesThenAsksForTheId) {
    ScriptHandshake(controller, "(240,699)");
    controller.Reply("stale\r\nstale too\r\n").Expect("ID;\r\n").Reply("ID;\r\nV1.0\r\n");
    controller.Expect("ID;\r\n");
    Connect();
    EXPECT_EQ(QueryVersion(), "V1.0");
    EXPECT_EQ(QueryVersion(), "unavailable");
    EXPECT_EQ(controller.Finish(), "");
    AdcLink::ClosePort();
    std::string version = "V1.0"; // what a caller held before
    EXPECT_FALSE(QueryVersion(version));
    EXPECT_EQ(version, "");
}

} // namespace
