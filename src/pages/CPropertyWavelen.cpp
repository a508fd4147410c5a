#include "pages/CPropertyWavelen.h"

#include "DialogTemplates.h"
#include "device/AdcLink.h"
#include "pages/ProtocolArithmetic.h"
#include "platform/AppMessageBox.h"
#include "platform/DataExchange.h"
#include "platform/SettingsFile.h"
#include "platform/WaitCursor.h"

#include <QCheckBox>

#include <string>

namespace {

constexpr int kSingleWavelengthCheck = 1030;
const char* const kSection = "Wavelength";

} // namespace

CPropertyWavelen::CPropertyWavelen() : CPropertyPage(WavelengthProtocolDialog()) {}

void CPropertyWavelen::DoDataExchange(DataExchange& dx) {
    ExchangeNumber(dx, 1005, ct);
    ExchangeNumber(dx, 1006, dt);
    ExchangeNumber(dx, 1001, it1);
    ExchangeNumber(dx, 1002, it2);
    ExchangeInteger(dx, 1007, wl0);
    ExchangeInteger(dx, 1003, wl1);
    ExchangeInteger(dx, 1004, wl2);
    ExchangeCheck(dx, 1032, reactivate);
    ExchangeCheck(dx, kSingleWavelengthCheck, singleWavelength);
    if (dx.Failed())
        return;
    // Wavelength 2 and its integration time are unused in single-wavelength mode.
    if (QWidget* edit = Control(1004))
        edit->setEnabled(!singleWavelength);
    if (QWidget* edit = Control(1002))
        edit->setEnabled(!singleWavelength);
}

void CPropertyWavelen::OnSingleWavelength() {
    UpdateData(true);
}

bool CPropertyWavelen::OnSetActive() {
    if (!checkWired_) {
        if (auto* check = ControlAs<QCheckBox>(kSingleWavelengthCheck)) {
            connect(check, &QCheckBox::clicked, this, [this] { OnSingleWavelength(); });
            checkWired_ = true;
        }
    }
    // While this page is displayed the sheet's Apply button is enabled.
    SetModified(true);
    std::string errorText;
    int32_t readDt = 0, readIt1 = 0, readIt2 = 0, readRest = 0; // tenths of a ms
    bool read = AdcLink::ReadProtocol(readDt, readIt1, readIt2, readRest, wl0, wl1, wl2, errorText);
    if (!read) {
        // The second try costs another read time-out: show that the program waits.
        WaitCursor wait;
        read = AdcLink::ReadProtocol(readDt, readIt1, readIt2, readRest, wl0, wl1, wl2, errorText);
    }
    // A protocol without wavelength 2 is a single-wavelength one. After two
    // failures this sees the wl2 held before (0 at the very first activation).
    if (wl2 == 0) {
        singleWavelength = true;
        wl2 = wl1;
    }
    if (read) {
        dt = ToMilliseconds(readDt);
        it1 = ToMilliseconds(readIt1);
        it2 = ToMilliseconds(readIt2);
        ct = ReadBackCycle(readDt, readIt1, readIt2, readRest, singleWavelength);
    } else {
        // The protocol last applied. The times are stored unsigned.
        using SettingsFile::GetProfileInt;
        ct = ToMilliseconds(GetProfileInt(kSection, "ct", 5000));
        dt = ToMilliseconds(GetProfileInt(kSection, "dt", 30));
        it1 = ToMilliseconds(GetProfileInt(kSection, "it1", 200));
        it2 = ToMilliseconds(GetProfileInt(kSection, "it2", 200));
        wl0 = static_cast<int32_t>(GetProfileInt(kSection, "wl0", 200));
        wl1 = static_cast<int32_t>(GetProfileInt(kSection, "wl1", 340));
        wl2 = static_cast<int32_t>(GetProfileInt(kSection, "wl2", 380));
        // Without a link there is nothing to explain.
        if (AdcLink::IsPortOpen())
            AppMessageBox(errorText);
    }
    UpdateData(false);
    if (reactivate)
        AdcLink::ReactivateProtocol();
    return CPropertyPage::OnSetActive();
}

bool CPropertyWavelen::OnKillActive() {
    return KillActiveUnmodified();
}

bool CPropertyWavelen::OnApply() {
    // OK or Apply on another tab never sends a protocol.
    if (!isVisible())
        return true;
    UpdateData(true);
    int32_t dtTenths = ToTenths(dt);
    int32_t it1Tenths = ToTenths(it1);
    int32_t it2Tenths = ToTenths(it2);
    int32_t restTenths = RestingTenths(ct, dt, it1, it2, singleWavelength);
    if (singleWavelength)
        it2Tenths = 0;
    if (restTenths < 0) {
        AppMessageBox("Invalid cycle time corrected!\nValues NOT applied.");
        ct = CorrectedCycle(dtTenths, it1Tenths, it2Tenths);
        UpdateData(false);
        SetModified(true);
        return false;
    }
    std::string errorText = "no error";
    // wl2 = 0 makes the short, five-value form of the command.
    if (singleWavelength)
        wl2 = 0;
    const bool defined = AdcLink::DefineProtocol(dtTenths, it1Tenths, it2Tenths, restTenths, wl0,
                                                 wl1, wl2, errorText);
    if (singleWavelength)
        wl2 = wl1;
    if (!defined) {
        AppMessageBox(errorText + "\nValues NOT applied.");
        reactivate = false;
    } else if (reactivate) {
        AdcLink::ReactivateProtocol();
    }
    // Show what was sent, with the controller link's corrections.
    dt = ToMilliseconds(dtTenths);
    it1 = ToMilliseconds(it1Tenths);
    it2 = ToMilliseconds(it2Tenths);
    ct = AppliedCycle(dtTenths, it1Tenths, it2Tenths, restTenths, singleWavelength);
    UpdateData(false);
    // Stored even when refused: the profile holds the last protocol tried.
    StoreProtocol();
    SetModified(true);
    return defined;
}

void CPropertyWavelen::StoreProtocol() {
    using SettingsFile::WriteProfileInt;
    WriteProfileInt(kSection, "ct", ToTenths(ct));
    WriteProfileInt(kSection, "dt", ToTenths(dt));
    WriteProfileInt(kSection, "it1", ToTenths(it1));
    WriteProfileInt(kSection, "it2", ToTenths(it2));
    WriteProfileInt(kSection, "wl0", wl0);
    WriteProfileInt(kSection, "wl1", wl1);
    WriteProfileInt(kSection, "wl2", wl2);
}
