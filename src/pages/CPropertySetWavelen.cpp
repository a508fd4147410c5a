#include "pages/CPropertySetWavelen.h"

#include "DialogTemplates.h"
#include "device/AdcLink.h"
#include "device/WavelengthCommand.h"
#include "platform/AppMessageBox.h"
#include "platform/DataExchange.h"
#include "platform/SettingsFile.h"

#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace {

const char* const kPresetFile = "VORNadcC.INI";
const char* const kSection = "SetWaveLength";
constexpr int kDebugEdit = 1045;
constexpr int kSetButtons[4] = {1038, 1039, 1040, 1041};

} // namespace

CPropertySetWavelen::CPropertySetWavelen() : CPropertyPage(SetWavelengthDialog()) {}

void CPropertySetWavelen::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, 1043, statusEdit);
    AttachControl(dx, kDebugEdit, debugEdit);
    ExchangeInteger(dx, 1034, waveLength2);
    ExchangeInteger(dx, 1033, waveLength1);
    ExchangeInteger(dx, 1035, waveLength3);
    ExchangeInteger(dx, 1036, waveLength4);
    ExchangeText(dx, 1043, statusText);
    ExchangeText(dx, kDebugEdit, debugText);
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
            if (auto* button = ControlAs<QPushButton>(kSetButtons[row - 1]))
                connect(button, &QPushButton::clicked, this, [this, row] { OnSet(row); });
    }
    if (!LoadPresets())
        AppMessageBox("Error reading <VornAdcC.ini> \n\nInitialisation-File could not be red !");
    // Once shown, the debug field stays for the rest of the run.
    if (debugMode && Control(kDebugEdit))
        Control(kDebugEdit)->show();
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
