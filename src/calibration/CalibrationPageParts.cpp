#include "calibration/CalibrationPageParts.h"

#include "calibration/core/CalibrationFile.h"
#include "calibration/core/CalibrationLine.h"
#include "calibration/plot/PlotPicture.h"
#include "calibration/plot/SweepPlot.h"
#include "device/AdcLink.h"
#include "ui/dialog/DialogLayout.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/BlockingExchange.h"
#include "ui/sheet/CPropertyPage.h"
#include "ui/sheet/SaveFileDialog.h"

#include <QFontMetrics>
#include <QProgressBar>

#include <chrono>
#include <string>
#include <thread>

namespace CalibrationPageParts {

namespace {

// The plot's place in dialog units, below the template's lowest control.
constexpr int plotLeft = 7;
constexpr int plotOverlap = 4; // the template keeps a margin this deep under its controls
constexpr int plotHeight = 64;

// About 20 pictures a second: the bar moves by less than a pixel a sample, and
// every repaint costs the sweep time (a probe lasts 18 ms at 19200 baud).
constexpr std::chrono::milliseconds frameInterval(50);

} // namespace

DialogTemplate WithPlotRoom(const DialogTemplate& dialog) {
    DialogTemplate grown = dialog;
    grown.height += plotHeight;
    return grown;
}

SweepPlot* CreatePlot(CPropertyPage& page, const DialogTemplate& original) {
    auto* plot = new SweepPlot(&page);
    const DialogUnits units = DialogUnitsOf(QFontMetrics(page.font()));
    plot->setGeometry(DialogRectToPixels(plotLeft, original.height - plotOverlap,
                                         original.width - 2 * plotLeft, plotHeight, units));
    PlotPicture::AddActions(*plot);
    plot->show();
    return plot;
}

void PauseBeforeRetry() {
    // a controller busy with a previous command often answers the second read
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void ShowHeldCalibration(SweepPlot* plot, int32_t lowWavelength, int32_t lowCounts,
                         int32_t highWavelength, int32_t highCounts) {
    if (plot)
        plot->SetCalibrationLine(
            CalibrationCore::LineThrough(lowWavelength, lowCounts, highWavelength, highCounts));
}

void WriteCalibrationOrTell(SweepPlot* plot, int32_t lowWavelength, int32_t lowCounts,
                            int32_t highWavelength, int32_t highCounts) {
    std::string errorText = "no error";
    if (AdcLink::WriteCalibration(lowWavelength, lowCounts, highWavelength, highCounts, errorText))
        ShowHeldCalibration(plot, lowWavelength, lowCounts, highWavelength, highCounts);
    else
        AppMessageBox(errorText);
}

void SaveReadings(const std::vector<int32_t>& readings, int32_t sampleCount) {
    std::string path; // no initial name
    if (!CurrentSaveFileDialog().AskSavePath(
            "txt", "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", path))
        return;
    std::string errorText;
    if (!CalibrationCore::WriteCalibrationFile(path, readings, sampleCount, errorText))
        AppMessageBox(errorText);
}

SweepDisplay::SweepDisplay(QProgressBar* bar, SweepPlot* plot, int32_t sampleCount)
    : bar(bar), plot(plot), shown(std::chrono::steady_clock::now()) {
    if (bar)
        bar->setRange(0, CalibrationCore::SweepSampleCount(sampleCount));
    if (plot)
        plot->BeginSweep(sampleCount);
}

SweepDisplay::~SweepDisplay() {
    Show();
    if (plot)
        plot->EndSweep();
}

CalibrationCore::Progress SweepDisplay::Callback() {
    return [this](int32_t index, int32_t reading) { Sample(index, reading); };
}

void SweepDisplay::Sample(int32_t index, int32_t reading) {
    ++unshown;
    if (plot)
        plot->AddReading(index, reading);
    if (std::chrono::steady_clock::now() - shown >= frameInterval)
        Show();
}

void SweepDisplay::Show() {
    // The bar moves a frame at a time: setting its value costs a style query.
    // Bar and plot go to the screen in one pass of the window's painting, as
    // each pass costs more than what it paints.
    if (bar) {
        bar->setValue(bar->value() + unshown); // the bar's step is 1
        bar->update();
    }
    unshown = 0;
    const bool painted = plot && plot->RepaintPending();
    if (bar && !painted)
        bar->repaint();
    // a desktop calls a window that leaves its pings unanswered for seconds not responding
    BlockingExchange::DoWindowWork();
    shown = std::chrono::steady_clock::now();
}

} // namespace CalibrationPageParts
