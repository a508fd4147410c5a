#pragma once

#include "ui/sheet/CPropertyPage.h"

#include <string>

// "RS-232 Setup": the serial parameters and the controller's version string.
// The only page that opens and closes the link; it never marks itself modified.
class CPropertySetup : public CPropertyPage {
    Q_OBJECT
public:
    CPropertySetup();

    bool OnSetActive() override;
    bool OnKillActive() override;

    // "&Connect": open the port with the shown parameters and ask for the version.
    void OnConnect();
    // "&Disconnect".
    void OnDisconnect();

    std::string versionText;
    std::string baudRate;
    std::string bits;
    std::string comPort;
    std::string parity;

protected:
    void DoDataExchange(DataExchange& dx) override;

private:
    // While the link is open only "&Disconnect" is usable.
    void EnableControls(bool enable);
    // First display: the discovered ports join the list, and the buttons are wired.
    void CompleteControls();
    // The port list as the system has it now; the shown text stays.
    void RebuildPortList();

    bool controlsCompleted = false;
};
