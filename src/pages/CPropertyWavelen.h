#pragma once

#include "platform/CPropertyPage.h"

#include <cstdint>

// "Wavelength Protocol": the alternating illumination protocol.
class CPropertyWavelen : public CPropertyPage {
    Q_OBJECT
public:
    CPropertyWavelen();

    double ct = 0.0;  // cycle time, ms
    double dt = 0.0;  // dead time, ms
    double it1 = 0.0; // integration time at wavelength 1, ms
    double it2 = 0.0; // integration time at wavelength 2, ms
    int32_t wl0 = 0;  // resting wavelength, nm
    int32_t wl1 = 0;  // wavelength 1, nm
    int32_t wl2 = 0;  // wavelength 2, nm
    bool reactivate = false;
    bool singleWavelength = false;

protected:
    void DoDataExchange(DataExchange& dx) override;
};
