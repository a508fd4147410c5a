#pragma once

#include "calibration/core/SampleGrid.h"
#include "ui/dialog/DialogTemplate.h"

#include <chrono>
#include <cstdint>
#include <vector>

class CPropertyPage;
class QProgressBar;
class SweepPlot;

// The steps both calibration pages take alike.
namespace CalibrationPageParts {

// The page's dialog with room below its own controls for the sweep plot;
// the sheet grows to fit it.
DialogTemplate WithPlotRoom(const DialogTemplate& dialog);
// Creates the plot in that room, below everything the template places.
SweepPlot* CreatePlot(CPropertyPage& page, const DialogTemplate& original);

// The pause before a calibration read is tried again.
void PauseBeforeRetry();

// The plot's wavelength axis from the calibration the controller holds, as
// just read (zeros, when it could not be read, leave the axis out): not from
// the fields being edited, so the axis always says what the counts mean now.
void ShowHeldCalibration(SweepPlot* plot, int32_t lowWavelength, int32_t lowCounts,
                         int32_t highWavelength, int32_t highCounts);

// Sends the calibration; shows WriteCalibration's reason when it fails. Once
// the controller has accepted it, the plot's axis follows it.
void WriteCalibrationOrTell(SweepPlot* plot, int32_t lowWavelength, int32_t lowCounts,
                            int32_t highWavelength, int32_t highCounts);

// Asks for a file and writes the readings held in the calibration text file
// format; a file error names the file in the message box.
void SaveReadings(const std::vector<int32_t>& readings, int32_t sampleCount);

// The progress bar and the plot through one sweep. The sweep holds the one
// thread in a blocking exchange: every sample advances the bar by one step and
// goes into the plot, and once a frame, every 50 ms, both are repainted
// directly (repaint()) and the window does its other work that is not input
// (BlockingExchange::DoWindowWork: it answers the window manager's pings and
// repaints what was uncovered; no page code runs and input waits, to be
// discarded when the exchange ends). Showing a sample costs far less than
// probing it.
class SweepDisplay {
public:
    // Sets the bar's range to 0..N and empties the plot.
    SweepDisplay(QProgressBar* bar, SweepPlot* plot, int32_t sampleCount);
    // Shows the last samples.
    ~SweepDisplay();
    SweepDisplay(const SweepDisplay&) = delete;
    SweepDisplay& operator=(const SweepDisplay&) = delete;

    // Valid while this display lives.
    CalibrationCore::Progress Callback();

private:
    void Sample(int32_t index, int32_t reading);
    void Show();

    QProgressBar* bar;
    SweepPlot* plot;
    int32_t unshown = 0; // samples taken since the bar last moved
    std::chrono::steady_clock::time_point shown;
};

} // namespace CalibrationPageParts
