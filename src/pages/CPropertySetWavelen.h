#pragma once

#include "platform/CPropertyPage.h"

#include <cstdint>
#include <string>

class QLineEdit;

// "Set Wavelength": four preset wavelengths, each with its own "Set" button.
class CPropertySetWavelen : public CPropertyPage {
    Q_OBJECT
public:
    CPropertySetWavelen();

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
};
