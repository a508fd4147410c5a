// "Terminal": the history in the profile, sending, and the reply log.
#include "pages/PageFixture.h"
#include "templates/ControlIds.h"

#include "pages/CPropertyTerminal.h"
#include "settings/SettingsFile.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

namespace {

using Strings = std::vector<std::string>;

class TerminalPage : public PageFixture {
protected:
    void ShowTerminal() {
        terminal = Add<CPropertyTerminal>();
        AddBlank();
        Show();
    }
    Strings History() const {
        Strings entries;
        for (int i = 0; i < terminal->commandBox->count(); ++i)
            entries.push_back(terminal->commandBox->itemText(i).toStdString());
        return entries;
    }
    void Send(const std::string& typed) {
        Type(terminal, TerminalControls::commandCombo, typed);
        Click(terminal, TerminalControls::sendButton);
    }

    CPropertyTerminal* terminal = nullptr;
};

TEST_F(TerminalPage, HistoryIsCutAtEachSemicolonAndTheFirstTenAreSavedOnLeaving) {
    SettingsFile::WriteProfileString("Terminal", "recent", "RC;WL,300;junk");
    ShowTerminal();
    EXPECT_EQ(History(), (Strings{"RC;", "WL,300;"}));
    EXPECT_EQ(Shown(terminal, TerminalControls::commandCombo), "");
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_EQ(SettingsFile::GetProfileString("Terminal", "recent", "?"), "RC;WL,300;");

    // No port: nothing is sent, but every command enters the history at the top,
    // and 'a;b' comes back after a restart as two entries.
    ASSERT_TRUE(sheet->SetActivePage(0));
    for (int i = 1; i <= 11; ++i)
        Send("C" + std::to_string(i));
    Send("a;b");
    EXPECT_EQ(History().size(), 14u);
    EXPECT_EQ(History()[0], "a;b;");
    EXPECT_EQ(terminal->commandText, "a;b;"); // not sent: the command stays
    EXPECT_EQ(terminal->replyLog, "");
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_EQ(SettingsFile::GetProfileString("Terminal", "recent", "?"),
              "a;b;C11;C10;C9;C8;C7;C6;C5;C4;C3;");
    EXPECT_TRUE(messages.empty());
}

TEST_F(TerminalPage, SendMovesTheCommandToTheTopAndLogsOneReplyPerPress) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("rc;\r\n").Reply("RC;1000,0,2000,4095\r\n");
    controller.Expect("RP;\r\n").Reply("first\r\nsecond\r\n");
    controller.Expect("ID;\r\n"); // silent
    Connect();
    SettingsFile::WriteProfileString("Terminal", "recent", "WL,300;RC;RP;");
    ShowTerminal();

    Send("rc"); // replaces the older "RC;"
    EXPECT_EQ(History(), (Strings{"rc;", "WL,300;", "RP;"}));
    EXPECT_EQ(terminal->replyLog, "1000,0,2000,4095\r\n");
    EXPECT_EQ(Shown(terminal, TerminalControls::replyEdit), "1000,0,2000,4095\r\n");
    EXPECT_EQ(Shown(terminal, TerminalControls::commandCombo), "");

    // Enter sends like "&Send"; an entry already listed moves up, the list does not grow.
    Type(terminal, TerminalControls::commandCombo, "RP;");
    PressEnter(terminal->Control(TerminalControls::commandCombo));
    EXPECT_EQ(History(), (Strings{"RP;", "rc;", "WL,300;"}));
    EXPECT_EQ(terminal->replyLog, "1000,0,2000,4095\r\nfirst\r\n");

    // An empty box sends nothing and shows the line still pending.
    Send("");
    EXPECT_EQ(terminal->replyLog, "1000,0,2000,4095\r\nfirst\r\nsecond\r\n");

    // No reply: nothing is shown and the typed text stays in the box.
    Send("ID");
    EXPECT_EQ(Shown(terminal, TerminalControls::commandCombo), "ID");
    EXPECT_EQ(terminal->replyLog, "1000,0,2000,4095\r\nfirst\r\nsecond\r\n");
    EXPECT_EQ(terminal->commandText, ""); // it was sent
    EXPECT_EQ(History()[0], "ID;");
    EXPECT_EQ(controller.Finish(), "");
    EXPECT_TRUE(messages.empty());
}

TEST_F(TerminalPage, TypedTextGoesOutAsTypedWhateverTheHistoryHolds) {
    // How the typed text leaves the box: Send clicked, Enter, or the focus
    // moved away first (a history entry that matches must not replace it).
    enum class How { SendClicked, Enter, FocusAway };
    const struct {
        const char* typed;
        How how;
        const char* sent;
    } rows[] = {
        {"WL,4", How::SendClicked, "WL,4;"}, {"WL,45", How::Enter, "WL,45;"},
        {"id", How::FocusAway, "id;"},       {"SF,450", How::SendClicked, "SF,450;"},
        {"SF,45", How::FocusAway, "SF,45;"},
    };
    ScriptHandshake(controller, "(240,699)");
    for (const auto& row : rows)
        controller.Expect(std::string(row.sent) + "\r\n").Reply("ok\r\n");
    Connect();
    SettingsFile::WriteProfileString("Terminal", "recent", "WL,450;ID;");
    ShowTerminal();
    for (const auto& row : rows) {
        Type(terminal, TerminalControls::commandCombo, row.typed);
        if (row.how == How::FocusAway)
            QTest::keyClick(terminal->Control(TerminalControls::commandCombo), Qt::Key_Tab);
        if (row.how == How::Enter)
            PressEnter(terminal->Control(TerminalControls::commandCombo));
        else
            Click(terminal, TerminalControls::sendButton);
        EXPECT_EQ(History()[0], row.sent) << row.typed;
    }
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(TerminalPage, APastedCommandWithALineEndStaysInTheBoxUnsentAndUnremembered) {
    ScriptHandshake(controller, "(240,699)");
    controller.Reply("pending\r\n");
    Connect();
    SettingsFile::WriteProfileString("Terminal", "recent", "RC;");
    ShowTerminal();
    QWidget* box = terminal->Control(TerminalControls::commandCombo);
    for (const char* pasted : {"ID\nRC", "SF,450\n", "RS\r"}) {
        SCOPED_TRACE(Printable(pasted));
        Type(terminal, TerminalControls::commandCombo, "");
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(Shown(terminal, TerminalControls::commandCombo), pasted);
        Click(terminal, TerminalControls::sendButton);
        PressEnter(box);
        EXPECT_EQ(Shown(terminal, TerminalControls::commandCombo), pasted);
        EXPECT_EQ(History(), (Strings{"RC;"}));
        EXPECT_EQ(terminal->replyLog, ""); // the pending line was not read
    }
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_EQ(SettingsFile::GetProfileString("Terminal", "recent", "?"), "RC;");
    ASSERT_TRUE(sheet->SetActivePage(0));
    Send(""); // nothing was written, and the pending line is still there
    EXPECT_EQ(terminal->replyLog, "pending\r\n");
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(TerminalPage, TheLogStaysScrolledToItsNewestReply) {
    std::string lines;
    for (int i = 0; i < 40; ++i)
        lines += "reply " + std::to_string(i) + "\r\n";
    ScriptHandshake(controller, "(240,699)");
    controller.Reply(lines);
    Connect();
    ShowTerminal();
    auto* log = terminal->ControlAs<QPlainTextEdit>(TerminalControls::replyEdit);
    for (int i = 0; i < 40; ++i) {
        Send("");
        EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum()) << i;
    }
    EXPECT_GT(log->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(terminal->replyLog, lines);
    EXPECT_EQ(controller.Finish(), "");
}

} // namespace
