#include "pages/CPropertyTerminal.h"

#include "device/TerminalCommand.h"
#include "pages/TerminalHistory.h"
#include "settings/SettingsFile.h"
#include "templates/ControlIds.h"
#include "templates/DialogTemplates.h"
#include "ui/dialog/DialogLayout.h"
#include "ui/sheet/BlockingExchange.h"
#include "ui/sheet/DataExchange.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

CPropertyTerminal::CPropertyTerminal() : CPropertyPage(TerminalDialog()) {}

void CPropertyTerminal::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, TerminalControls::commandCombo, commandBox);
    ExchangeText(dx, TerminalControls::replyEdit, replyLog);
    ExchangeComboText(dx, TerminalControls::commandCombo, commandText);
}

std::vector<std::string> CPropertyTerminal::HistoryEntries() const {
    return commandBox ? ComboItemTexts(commandBox) : std::vector<std::string>{};
}

bool CPropertyTerminal::OnSetActive() {
    if (!sendWired) {
        if (auto* button = ControlAs<QPushButton>(TerminalControls::sendButton)) {
            connect(button, &QPushButton::clicked, this, [this] { OnSend(); });
            sendWired = true;
        }
    }
    SetModified(false);
    if (commandBox && commandBox->count() == 0) {
        const QString shown = commandBox->currentText();
        // Entries go in at a position, never sorted: the stored order is kept.
        for (const std::string& entry :
             SplitHistory(SettingsFile::GetProfileString("Terminal", "recent", "")))
            commandBox->insertItem(commandBox->count(), QString::fromStdString(entry));
        commandBox->setEditText(shown);
    }
    return CPropertyPage::OnSetActive();
}

bool CPropertyTerminal::OnKillActive() {
    SettingsFile::WriteProfileString("Terminal", "recent", JoinHistory(HistoryEntries(), 10));
    return true;
}

bool CPropertyTerminal::OnApply() {
    OnSend();
    return true;
}

void CPropertyTerminal::OnSend() {
    const BlockingExchange held;
    UpdateData(true);
    // Pasted text with a line end would go out as two lines and, in the
    // history, break its settings line: it stays in the box, unsent.
    if (HoldsLineEnd(commandText))
        return;
    std::string command;
    if (!commandText.empty()) {
        commandText = CompleteTerminalCommand(commandText);
        command = commandText;
        if (commandBox) {
            // Changing the list must not change what the box shows: that stays
            // until a reply is shown.
            const QString shown = commandBox->currentText();
            const int older = FindIgnoringCase(HistoryEntries(), commandText);
            if (older >= 0)
                commandBox->removeItem(older);
            commandBox->insertItem(0, QString::fromStdString(commandText));
            commandBox->setEditText(shown);
        }
    }
    const TerminalOutcome outcome = ExchangeTerminalCommand(command);
    if (outcome.sent)
        commandText.clear();
    if (!outcome.replied)
        return;
    replyLog += outcome.reply + "\r\n";
    BoundReplyLog(replyLog);
    UpdateData(false);
    ScrollLogToEnd();
}

void CPropertyTerminal::ScrollLogToEnd() {
    auto* log = ControlAs<QPlainTextEdit>(TerminalControls::replyEdit);
    if (!log)
        return;
    QScrollBar* bar = log->verticalScrollBar();
    bar->setValue(bar->maximum());
}
