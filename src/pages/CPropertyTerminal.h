#pragma once

#include "ui/sheet/CPropertyPage.h"

#include <string>
#include <vector>

class QComboBox;

// "Terminal": raw commands to the controller and the log of its replies.
class CPropertyTerminal : public CPropertyPage {
    Q_OBJECT
public:
    CPropertyTerminal();

    bool OnSetActive() override;
    // Saves the first ten history entries; leaving never fails.
    bool OnKillActive() override;
    // OK, Apply and Enter send the typed command.
    bool OnApply() override;

    // "&Send": at most one command out and one reply line into the log.
    void OnSend();

    QComboBox* commandBox = nullptr; // the command history, most recent first
    std::string replyLog;            // every reply shown, each followed by CR LF
    std::string commandText;         // the command to send

protected:
    void DoDataExchange(DataExchange& dx) override;

private:
    std::vector<std::string> HistoryEntries() const;
    void ScrollLogToEnd();

    bool sendWired = false;
};
