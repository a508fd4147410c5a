#include "pages/CPropertyTerminal.h"

#include "DialogTemplates.h"
#include "platform/DataExchange.h"

#include <QComboBox>

CPropertyTerminal::CPropertyTerminal() : CPropertyPage(TerminalDialog()) {}

void CPropertyTerminal::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, 1010, commandBox);
    ExchangeText(dx, 1012, replyLog);
    ExchangeComboText(dx, 1010, commandText);
}
