#pragma once

#include "calibration/core/BandSweep.h"
#include "ui/sheet/CPropertyPage.h"

#include <cstdint>
#include <vector>

class QProgressBar;
class SweepPlot;

// "Triple Band Calibration": one sweep behind a three-band filter finds the
// counts of all three bands; the low and high bands become the calibration.
class CPropertyCalibrateTriple : public CPropertyPage {
    Q_OBJECT
public:
    CPropertyCalibrateTriple();

    bool OnSetActive() override;
    bool OnKillActive() override;
    bool OnApply() override;

    void OnRun();
    void OnSaveToFile();
    // Any of the nine edits changed: a text that is not a number becomes "0",
    // then the fields follow the controls.
    void OnEditChange();

    // Sweeps the counts range into samples and fills the nine band fields.
    // False when a probe failed; the fields are then unchanged.
    bool SweepForBands();

    // The plot of the latest sweep; none before the first display.
    SweepPlot* Plot() const { return plot; }

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
    int32_t sampleCount = 0;      // samples in one sweep, as stored in the settings
    std::vector<int32_t> samples; // readings of the latest sweep, as many as were taken

protected:
    void DoDataExchange(DataExchange& dx) override;

private:
    void ConnectControls();
    void ShowFoundBands();
    // The middle band against the low-high line, under the plot.
    void ShowLinearity(bool wavelengthsTyped);
    void NoteTypedWavelength(int id);
    CalibrationCore::Bands FieldBands() const;
    // An edit changed a field that the markers or the linearity line came from:
    // they no longer say what the fields hold.
    void ForgetStaleResults(const CalibrationCore::Bands& before);

    SweepPlot* plot = nullptr;
    // Low, middle, high: the operator's last edit since the activation left
    // the wavelength non-zero.
    bool wavelengthTyped[3] = {false, false, false};
};
