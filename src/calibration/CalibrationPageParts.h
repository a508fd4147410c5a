#pragma once

#include "calibration/SampleGrid.h"
#include "platform/DialogTemplate.h"

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

// Sends the calibration; shows WriteCalibration's reason when it fails.
void WriteCalibrationOrTell(int32_t lowWavelength, int32_t lowCounts, int32_t highWavelength,
                            int32_t highCounts);

// Asks for a file and writes the readings held in the calibration text file
// format; a file error names the file in the message box.
void SaveReadings(const std::vector<int32_t>& readings, int32_t sampleCount);

// The progress bar and the plot through one sweep. The sweep blocks the one
// thread, so both are repainted directly after every sample.
class SweepDisplay {
public:
    // Sets the bar's range to 0..N and empties the plot.
    SweepDisplay(QProgressBar* bar, SweepPlot* plot, int32_t sampleCount);
    CalibrationCore::Progress Callback() const;

private:
    QProgressBar* bar_;
    SweepPlot* plot_;
};

} // namespace CalibrationPageParts
