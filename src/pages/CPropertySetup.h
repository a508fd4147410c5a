#pragma once

#include "platform/CPropertyPage.h"

#include <string>

// "RS-232 Setup": the serial parameters and the controller's version string.
class CPropertySetup : public CPropertyPage {
    Q_OBJECT
public:
    CPropertySetup();

    std::string versionText;
    std::string baudRate;
    std::string bits;
    std::string comPort;
    std::string parity;

protected:
    void DoDataExchange(DataExchange& dx) override;
};
