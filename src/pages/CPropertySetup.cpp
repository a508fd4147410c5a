#include "pages/CPropertySetup.h"

#include "device/AdcLink.h"
#include "device/DevicePorts.h"
#include "device/VersionQuery.h"
#include "pages/SetupParameters.h"
#include "settings/SettingsFile.h"
#include "templates/ControlIds.h"
#include "templates/DialogTemplates.h"
#include "ui/dialog/ComboItemDetails.h"
#include "ui/dialog/PopupComboBox.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/BlockingExchange.h"
#include "ui/sheet/DataExchange.h"

#include <QComboBox>
#include <QPushButton>

CPropertySetup::CPropertySetup()
    : CPropertyPage(SetupDialog()), versionText("unavailable"), baudRate("19200"), bits("8,1"),
      comPort("COM1"), parity("None") {
    comPort = SettingsFile::GetProfileString("Setup", "ComPort", comPort);
    baudRate = SettingsFile::GetProfileString("Setup", "BaudRate", baudRate);
    bits = SettingsFile::GetProfileString("Setup", "Bits", bits);
    parity = SettingsFile::GetProfileString("Setup", "Parity", parity);
}

void CPropertySetup::DoDataExchange(DataExchange& dx) {
    ExchangeText(dx, SetupControls::versionEdit, versionText);
    ExchangeComboText(dx, SetupControls::baudCombo, baudRate);
    ExchangeComboText(dx, SetupControls::bitsCombo, bits);
    ExchangeComboText(dx, SetupControls::portCombo, comPort, FindPortItem);
    ExchangeComboText(dx, SetupControls::parityCombo, parity);
}

void CPropertySetup::CompleteControls() {
    if (controlsCompleted || !HasControls())
        return;
    controlsCompleted = true;
    if (auto* ports = ControlAs<PopupComboBox>(SetupControls::portCombo)) {
        RebuildPortList();
        // The framework wrote the fields before these items existed; a stored
        // port such as "SIM" is now selected from the list.
        UpdateData(false);
        // Adapters come and go: the list is built again at each opening.
        connect(ports, &PopupComboBox::popupAboutToShow, this, [this] { RebuildPortList(); });
    }
    if (auto* button = ControlAs<QPushButton>(SetupControls::connectButton))
        connect(button, &QPushButton::clicked, this, [this] { OnConnect(); });
    if (auto* button = ControlAs<QPushButton>(SetupControls::disconnectButton))
        connect(button, &QPushButton::clicked, this, [this] { OnDisconnect(); });
}

void CPropertySetup::RebuildPortList() {
    if (auto* ports = ControlAs<QComboBox>(SetupControls::portCombo))
        SetDetailedItems(ports, PortListItems(DevicePorts::ListDetailed()));
}

void CPropertySetup::EnableControls(bool enable) {
    if (!Control(SetupControls::connectButton))
        return;
    Control(SetupControls::connectButton)->setEnabled(enable);
    Control(SetupControls::disconnectButton)->setEnabled(!enable);
    for (int id : {SetupControls::baudCombo, SetupControls::bitsCombo, SetupControls::portCombo,
                   SetupControls::parityCombo})
        Control(id)->setEnabled(enable);
    SetControlText(Control(SetupControls::baudCombo), baudRate);
}

bool CPropertySetup::OnSetActive() {
    CompleteControls();
    SetModified(false);
    EnableControls(!AdcLink::IsPortOpen());
    return CPropertyPage::OnSetActive();
}

bool CPropertySetup::OnKillActive() {
    // Only parameters that led to a connection are remembered.
    if (AdcLink::IsPortOpen()) {
        SettingsFile::WriteProfileString("Setup", "ComPort", comPort);
        SettingsFile::WriteProfileString("Setup", "BaudRate", baudRate);
        SettingsFile::WriteProfileString("Setup", "Bits", bits);
        SettingsFile::WriteProfileString("Setup", "Parity", parity);
    }
    SetModified(false);
    return CPropertyPage::OnKillActive();
}

void CPropertySetup::OnConnect() {
    const BlockingExchange held; // the handshake and the version query
    UpdateData(true);
    // The record of the conversation, read at each Connect and never written:
    // absent or empty, no record. One that cannot be opened is said once.
    std::string logError;
    if (!AdcLink::StartLog(SettingsFile::GetProfileString("Setup", "LogFile", ""), logError))
        AppMessageBox(logError);
    std::string modeString = BuildModeString(baudRate, parity, bits);
    std::string errorText;
    if (!AdcLink::OpenPort(comPort, modeString, errorText)) {
        AppMessageBox(errorText);
        EnableControls(true);
        return;
    }
    versionText = QueryVersion();
    UpdateData(false);
    EnableControls(false);
    // Connect is disabled now; its focus would fall to the version field
    if (QWidget* disconnect = Control(SetupControls::disconnectButton))
        disconnect->setFocus(Qt::OtherFocusReason);
}

void CPropertySetup::OnDisconnect() {
    AdcLink::ClosePort();
    versionText = "not connected";
    UpdateData(false);
    EnableControls(true);
}
