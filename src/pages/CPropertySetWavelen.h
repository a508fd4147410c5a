#pragma once

#include "ui/sheet/CPropertyPage.h"

#include <cstdint>
#include <string>

class QLineEdit;

// "Set Wavelength": four preset wavelengths, each with its own "Set" button.
// The presets live in the fixed-name settings file; OK, Apply and Enter do nothing.
class CPropertySetWavelen : public CPropertyPage {
    Q_OBJECT
public:
    CPropertySetWavelen();

    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;

    // Section "SetWaveLength" of "VORNadcC.INI". Loading fails when a preset
    // reads -1; saving fails when any of the four writes fails.
    bool LoadPresets();
    bool SavePresets();
    // The "Set" button of row 1 to 4.
    void OnSet(int row);
    // One WL exchange with the requested wavelength clamped into the range copy.
    void SetWavelength(int32_t requested);

    QLineEdit* statusEdit = nullptr;
    QLineEdit* debugEdit = nullptr;
    int32_t waveLength2 = -1; // nm
    int32_t waveLength1 = -1; // nm
    int32_t waveLength3 = -1; // nm
    int32_t waveLength4 = -1; // nm
    std::string statusText;
    std::string debugText;
    bool debugMode = false;
    int32_t rangeMin = 0; // nm
    int32_t rangeMax = 0; // nm

protected:
    void DoDataExchange(DataExchange& dx) override;

private:
    bool buttonsWired = false;
};
