#pragma once

#include "platform/CPropertyPage.h"

#include <cstdint>
#include <vector>

class QProgressBar;

// "Triple Band Calibration": one sweep behind a three-band filter.
class CPropertyCalibrateTriple : public CPropertyPage {
    Q_OBJECT
public:
    CPropertyCalibrateTriple();

    QProgressBar* progressBar = nullptr;
    int32_t highCounts = 0;
    int32_t highWavelength = 0; // nm
    int32_t highIntensity = 0;
    int32_t middleCounts = 0;
    int32_t middleWavelength = 0; // nm
    int32_t middleIntensity = 0;
    int32_t lowCounts = 0;
    int32_t lowWavelength = 0; // nm
    int32_t lowIntensity = 0;
    int32_t sampleCount = 0;      // samples in one sweep
    std::vector<int32_t> samples; // readings of the latest sweep

protected:
    void DoDataExchange(DataExchange& dx) override;
};
