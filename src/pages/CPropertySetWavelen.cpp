#include "pages/CPropertySetWavelen.h"

#include "device/AdcLink.h"
#include "device/WavelengthCommand.h"
#include "settings/SettingsFile.h"
#include "templates/ControlIds.h"
#include "templates/DialogTemplates.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/DataExchange.h"

#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace {

const char* const kPresetFile = "VORNadcC.INI";
const char* const kSection = "SetWaveLength";

} // namespace

CPropertySetWavelen::CPropertySetWavelen() : CPropertyPage(SetWavelengthDialog()) {}

void CPropertySetWavelen::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, SetWavelengthControls::statusEdit, statusEdit);
    AttachControl(dx, SetWavelengthControls::debugEdit, debugEdit);
    ExchangeInteger(dx, SetWavelengthControls::wavelength2Edit, waveLength2);
    ExchangeInteger(dx, SetWavelengthControls::wavelength1Edit, waveLength1);
    ExchangeInteger(dx, SetWavelengthControls::wavelength3Edit, waveLength3);
    ExchangeInteger(dx, SetWavelengthControls::wavelength4Edit, waveLength4);
    ExchangeText(dx, SetWavelengthControls::statusEdit, statusText);
    ExchangeText(dx, SetWavelengthControls::debugEdit, debugText);
}

bool CPropertySetWavelen::LoadPresets() {
    using SettingsFile::GetPrivateProfileInt;
    waveLength1 = GetPrivateProfileInt(kSection, "WaveLength1", 200, kPresetFile);
    waveLength2 = GetPrivateProfileInt(kSection, "WaveLength2", 300, kPresetFile);
    waveLength3 = GetPrivateProfileInt(kSection, "WaveLength3", 400, kPresetFile);
    waveLength4 = GetPrivateProfileInt(kSection, "WaveLength4", 500, kPresetFile);
    debugMode = GetPrivateProfileInt(kSection, "Debug", 0, kPresetFile) == 1;
    UpdateData(false);
    return waveLength1 != -1 && waveLength2 != -1 && waveLength3 != -1 && waveLength4 != -1;
}

bool CPropertySetWavelen::SavePresets() {
    using SettingsFile::WritePrivateProfileString;
    UpdateData(true);
    const std::pair<const char*, int32_t> presets[4] = {{"WaveLength1", waveLength1},
                                                        {"WaveLength2", waveLength2},
                                                        {"WaveLength3", waveLength3},
                                                        {"WaveLength4", waveLength4}};
    // All four writes are attempted, whatever the first ones did.
    bool saved = true;
    for (const auto& [key, value] : presets)
        if (!WritePrivateProfileString(kSection, key, std::to_string(value), kPresetFile))
            saved = false;
    return saved;
}

bool CPropertySetWavelen::OnSetActive() {
    if (!buttonsWired_ && HasControls()) {
        buttonsWired_ = true;
        for (int row = 1; row <= 4; ++row)
            if (auto* button = ControlAs<QPushButton>(SetWavelengthControls::setButtons[row - 1]))
                connect(button, &QPushButton::clicked, this, [this, row] { OnSet(row); });
    }
    if (!LoadPresets())
        AppMessageBox("Error reading <VornAdcC.ini> \n\nInitialisation-File could not be red !");
    // Once shown, the debug field stays for the rest of the run.
    if (debugMode && Control(SetWavelengthControls::debugEdit))
        Control(SetWavelengthControls::debugEdit)->show();
    debugText.clear();
    statusText.clear();
    rangeMin = AdcLink::MinWavelength();
    rangeMax = AdcLink::MaxWavelength();
    SetModified(false);
    return CPropertyPage::OnSetActive();
}

bool CPropertySetWavelen::OnKillActive() {
    if (!SavePresets())
        AppMessageBox(
            "Error writing <VornAdcC.ini> \n\nInitialisation-File could not be written !");
    SetModified(false);
    return CPropertyPage::OnKillActive();
}

bool CPropertySetWavelen::OnApply() {
    return true;
}

void CPropertySetWavelen::OnSet(int row) {
    UpdateData(true);
    const int32_t presets[4] = {waveLength1, waveLength2, waveLength3, waveLength4};
    SetWavelength(presets[row - 1]);
    UpdateData(false);
}

void CPropertySetWavelen::SetWavelength(int32_t requested) {
    const WavelengthRequest request = PrepareWavelength(requested, rangeMin, rangeMax);
    statusText = request.tryingText;
    debugText = request.command;
    UpdateData(false);
    // The exchange below blocks the window; these two lines are all the operator sees meanwhile.
    if (statusEdit)
        statusEdit->repaint();
    if (debugEdit)
        debugEdit->repaint();
    const WavelengthOutcome outcome = ::SetWavelength(request);
    statusText = outcome.statusText;
    debugText = outcome.reply;
}
