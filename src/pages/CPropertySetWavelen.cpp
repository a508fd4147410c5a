#include "pages/CPropertySetWavelen.h"

#include "device/AdcLink.h"
#include "device/WavelengthCommand.h"
#include "settings/SettingsFile.h"
#include "templates/ControlIds.h"
#include "templates/DialogTemplates.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/BlockingExchange.h"
#include "ui/sheet/DataExchange.h"

#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace {

const char* const presetFile = "VORNadcC.INI";
const char* const section = "SetWaveLength";

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
    waveLength1 = GetPrivateProfileInt(section, "WaveLength1", 200, presetFile);
    waveLength2 = GetPrivateProfileInt(section, "WaveLength2", 300, presetFile);
    waveLength3 = GetPrivateProfileInt(section, "WaveLength3", 400, presetFile);
    waveLength4 = GetPrivateProfileInt(section, "WaveLength4", 500, presetFile);
    debugMode = GetPrivateProfileInt(section, "Debug", 0, presetFile) == 1;
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
        if (!WritePrivateProfileString(section, key, std::to_string(value), presetFile))
            saved = false;
    return saved;
}

bool CPropertySetWavelen::OnSetActive() {
    if (!buttonsWired && HasControls()) {
        buttonsWired = true;
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
    const BlockingExchange held;
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
