#pragma once

#include "ui/sheet/CPropertyPage.h"

#include <cstdint>

struct ProtocolInMs;

// "Wavelength Protocol": the alternating illumination protocol. Read back from
// the controller at each activation (the profile stands in when it cannot be),
// sent when the page is applied while it is displayed.
class CPropertyWavelen : public CPropertyPage {
    Q_OBJECT
public:
    CPropertyWavelen();

    bool OnSetActive() override;
    // The shared deactivation step.
    bool OnKillActive() override;
    // Sends the protocol only while this page is displayed; returns whether the
    // controller took it, so a refused protocol keeps the sheet open.
    bool OnApply() override;

    // Click on "single wavelength": the wl2 and it2 edits follow at once.
    void OnSingleWavelength();

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

private:
    ProtocolInMs Protocol() const;
    void SetProtocol(const ProtocolInMs& protocol);
    void StoreProtocol();

    bool checkWired = false;
};
