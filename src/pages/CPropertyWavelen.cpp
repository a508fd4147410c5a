#include "pages/CPropertyWavelen.h"

#include "device/AdcLink.h"
#include "device/ProtocolArithmetic.h"
#include "device/ProtocolCommand.h"
#include "settings/SettingsFile.h"
#include "templates/ControlIds.h"
#include "templates/DialogTemplates.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/BlockingExchange.h"
#include "ui/sheet/DataExchange.h"
#include "ui/sheet/WaitCursor.h"

#include <QCheckBox>

#include <string>

namespace {

const char* const section = "Wavelength";

} // namespace

CPropertyWavelen::CPropertyWavelen() : CPropertyPage(WavelengthProtocolDialog()) {}

void CPropertyWavelen::DoDataExchange(DataExchange& dx) {
    ExchangeNumber(dx, ProtocolControls::ctEdit, ct);
    ExchangeNumber(dx, ProtocolControls::dtEdit, dt);
    ExchangeNumber(dx, ProtocolControls::it1Edit, it1);
    ExchangeNumber(dx, ProtocolControls::it2Edit, it2);
    ExchangeInteger(dx, ProtocolControls::wl0Edit, wl0);
    ExchangeInteger(dx, ProtocolControls::wl1Edit, wl1);
    ExchangeInteger(dx, ProtocolControls::wl2Edit, wl2);
    ExchangeCheck(dx, ProtocolControls::reactivateCheck, reactivate);
    ExchangeCheck(dx, ProtocolControls::singleWavelengthCheck, singleWavelength);
    if (dx.Failed())
        return;
    // Wavelength 2 and its integration time are unused in single-wavelength mode.
    if (QWidget* edit = Control(ProtocolControls::wl2Edit))
        edit->setEnabled(!singleWavelength);
    if (QWidget* edit = Control(ProtocolControls::it2Edit))
        edit->setEnabled(!singleWavelength);
}

void CPropertyWavelen::OnSingleWavelength() {
    UpdateData(true);
}

bool CPropertyWavelen::OnSetActive() {
    if (!checkWired) {
        if (auto* check = ControlAs<QCheckBox>(ProtocolControls::singleWavelengthCheck)) {
            connect(check, &QCheckBox::clicked, this, [this] { OnSingleWavelength(); });
            checkWired = true;
        }
    }
    const BlockingExchange held; // the read-back, and the reactivation
    // While this page is displayed the sheet's Apply button is enabled.
    SetModified(true);
    std::string errorText;
    ProtocolInMs protocol = Protocol();
    bool read = ReadProtocolInMs(protocol, errorText);
    if (!read) {
        // The second try costs another read time-out: show that the program waits.
        WaitCursor wait;
        read = ReadProtocolInMs(protocol, errorText);
    }
    if (read) {
        SetProtocol(protocol);
    } else {
        // After two failures the wl2 held before decides (0 at the very first
        // activation); the profile then replaces the wavelengths.
        if (wl2 == 0)
            singleWavelength = true;
        // The protocol last applied. The times are stored unsigned.
        using SettingsFile::GetProfileInt;
        ct = ToMilliseconds(GetProfileInt(section, "ct", 5000));
        dt = ToMilliseconds(GetProfileInt(section, "dt", 30));
        it1 = ToMilliseconds(GetProfileInt(section, "it1", 200));
        it2 = ToMilliseconds(GetProfileInt(section, "it2", 200));
        wl0 = static_cast<int32_t>(GetProfileInt(section, "wl0", 200));
        wl1 = static_cast<int32_t>(GetProfileInt(section, "wl1", 340));
        wl2 = static_cast<int32_t>(GetProfileInt(section, "wl2", 380));
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
    const BlockingExchange held;
    UpdateData(true);
    ProtocolInMs protocol = Protocol();
    std::string errorText = "no error";
    const ProtocolApplied applied = ApplyProtocolInMs(protocol, errorText);
    // The values sent, or as the cycle check or the controller link corrected them.
    SetProtocol(protocol);
    if (applied == ProtocolApplied::CycleCorrected) {
        AppMessageBox(errorText + "\nValues NOT applied.");
        UpdateData(false);
        SetModified(true);
        return false;
    }
    if (applied == ProtocolApplied::NotDefined) {
        AppMessageBox(errorText + "\nValues NOT applied.");
        reactivate = false;
    } else if (reactivate) {
        AdcLink::ReactivateProtocol();
    }
    UpdateData(false);
    // Stored even when refused: the profile holds the last protocol tried.
    StoreProtocol();
    SetModified(true);
    return applied == ProtocolApplied::Defined;
}

ProtocolInMs CPropertyWavelen::Protocol() const {
    return {ct, dt, it1, it2, wl0, wl1, wl2, singleWavelength};
}

void CPropertyWavelen::SetProtocol(const ProtocolInMs& protocol) {
    ct = protocol.ct;
    dt = protocol.dt;
    it1 = protocol.it1;
    it2 = protocol.it2;
    wl0 = protocol.wl0;
    wl1 = protocol.wl1;
    wl2 = protocol.wl2;
    singleWavelength = protocol.singleWavelength;
}

void CPropertyWavelen::StoreProtocol() {
    using SettingsFile::WriteProfileInt;
    WriteProfileInt(section, "ct", ToTenths(ct));
    WriteProfileInt(section, "dt", ToTenths(dt));
    WriteProfileInt(section, "it1", ToTenths(it1));
    WriteProfileInt(section, "it2", ToTenths(it2));
    WriteProfileInt(section, "wl0", wl0);
    WriteProfileInt(section, "wl1", wl1);
    WriteProfileInt(section, "wl2", wl2);
}
