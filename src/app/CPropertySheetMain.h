#pragma once

#include "calibration/CPropertyCalibrate.h"
#include "calibration/CPropertyCalibrateTriple.h"
#include "pages/CPropertySetWavelen.h"
#include "pages/CPropertySetup.h"
#include "pages/CPropertyTerminal.h"
#include "pages/CPropertyWavelen.h"
#include "ui/sheet/CPropertySheet.h"

#include <QIcon>
#include <QPointer>

class HelpWindow;

// "VORN ADC Communication": the six pages in tab order, opening on "RS-232 Setup".
class CPropertySheetMain : public CPropertySheet {
    Q_OBJECT
public:
    explicit CPropertySheetMain(QWidget* parent = nullptr);
    ~CPropertySheetMain() override;

    // Declaration order is construction order: it fixes the order in which the
    // page constructors read the settings.
    CPropertyWavelen wavelenPage;
    CPropertyCalibrate calibratePage;
    CPropertyTerminal terminalPage;
    CPropertySetup setupPage;
    CPropertySetWavelen setWavelenPage;
    CPropertyCalibrateTriple calibrateTriplePage;

protected:
    void OnHelp() override;

private:
    QIcon icon;
    QPointer<HelpWindow> help;
};
