#pragma once

#include "platform/CPropertyPage.h"

#include <cstdint>
#include <vector>

class QProgressBar;

// "Calibration": the controller's two-point calibration.
class CPropertyCalibrate : public CPropertyPage {
    Q_OBJECT
public:
    CPropertyCalibrate();

    QProgressBar* progressBar = nullptr;
    int32_t highCounts = 0;       // DA counts of the high range point
    int32_t highWavelength = 0;   // nm
    int32_t lowCounts = 0;        // DA counts of the low range point
    int32_t lowWavelength = 0;    // nm
    int32_t sampleCount = 0;      // samples in one sweep
    std::vector<int32_t> samples; // readings of the latest sweep

protected:
    void DoDataExchange(DataExchange& dx) override;
};
