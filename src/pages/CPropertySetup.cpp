#include "pages/CPropertySetup.h"

#include "DialogTemplates.h"
#include "platform/DataExchange.h"
#include "platform/SettingsFile.h"

CPropertySetup::CPropertySetup()
    : CPropertyPage(SetupDialog()), versionText("unavailable"), baudRate("19200"), bits("8,1"),
      comPort("COM1"), parity("None") {
    comPort = SettingsFile::GetProfileString("Setup", "ComPort", comPort);
    baudRate = SettingsFile::GetProfileString("Setup", "BaudRate", baudRate);
    bits = SettingsFile::GetProfileString("Setup", "Bits", bits);
    parity = SettingsFile::GetProfileString("Setup", "Parity", parity);
}

void CPropertySetup::DoDataExchange(DataExchange& dx) {
    ExchangeText(dx, 1026, versionText);
    ExchangeComboText(dx, 1023, baudRate);
    ExchangeComboText(dx, 1024, bits);
    ExchangeComboText(dx, 1022, comPort);
    ExchangeComboText(dx, 1025, parity);
}
