#pragma once

#include "platform/CPropertyPage.h"

#include <string>

class QComboBox;

// "Terminal": raw commands to the controller and the log of its replies.
class CPropertyTerminal : public CPropertyPage {
    Q_OBJECT
public:
    CPropertyTerminal();

    QComboBox* commandBox = nullptr; // the command history, most recent first
    std::string replyLog;            // every reply shown, each followed by CR LF
    std::string commandText;         // the command to send

protected:
    void DoDataExchange(DataExchange& dx) override;
};
