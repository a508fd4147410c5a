#pragma once

#include "ui/sheet/CPropertyPage.h"

#include <cstdint>
#include <vector>

class QProgressBar;
class SweepPlot;

// "Calibration": the controller's two-point calibration. Each point's counts
// come from a sweep behind its reference filter, refined to the centroid
// above half the peak.
class CPropertyCalibrate : public CPropertyPage {
    Q_OBJECT
public:
    CPropertyCalibrate();

    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;

    void OnRunFirst();
    void OnRunSecond();
    void OnSaveToFile();

    // Sweeps the whole counts range into samples and puts the refined peak
    // into target (lowCounts or highCounts). False when a probe failed; the
    // target is then unchanged.
    bool SweepForPeak(int32_t& target);

    // The plot of the latest sweep; none before the first display.
    SweepPlot* Plot() const { return plot; }

    QProgressBar* progressBar = nullptr;
    int32_t highCounts = 0;       // DA counts of the high range point
    int32_t highWavelength = 0;   // nm
    int32_t lowCounts = 0;        // DA counts of the low range point
    int32_t lowWavelength = 0;    // nm
    int32_t sampleCount = 0;      // samples in one sweep, as stored in the settings
    std::vector<int32_t> samples; // readings of the latest sweep

protected:
    void DoDataExchange(DataExchange& dx) override;

private:
    void ConnectControls();
    void RunSweep(int32_t& target, const char* label);

    SweepPlot* plot = nullptr;
};
