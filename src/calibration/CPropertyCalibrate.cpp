#include "calibration/CPropertyCalibrate.h"

#include "calibration/CalibrationPageParts.h"
#include "calibration/core/PeakSweep.h"
#include "calibration/core/SampleGrid.h"
#include "calibration/plot/SweepPlot.h"
#include "device/AdcLink.h"
#include "device/FailureTexts.h"
#include "settings/SettingsFile.h"
#include "templates/ControlIds.h"
#include "templates/DialogTemplates.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/BlockingExchange.h"
#include "ui/sheet/DataExchange.h"
#include "ui/sheet/WaitCursor.h"

#include <QProgressBar>
#include <QPushButton>

namespace {

const DialogTemplate& PageTemplate() {
    static const DialogTemplate grown = CalibrationPageParts::WithPlotRoom(CalibrationDialog());
    return grown;
}

} // namespace

CPropertyCalibrate::CPropertyCalibrate() : CPropertyPage(PageTemplate()) {
    // The profile holds an unsigned value; a stored -1 comes back as 4294967295
    // and is taken as the signed count it was written from.
    sampleCount = CalibrationCore::NormaliseSampleCount(
        static_cast<int32_t>(SettingsFile::GetProfileInt("Calibration", "Values", 1024)));
    SettingsFile::WriteProfileInt("Calibration", "Values", sampleCount);
    // Cleared, so a save before the first sweep writes zeros rather than
    // whatever the memory held. A sweep never takes more than 4096 samples.
    samples.assign(static_cast<size_t>(CalibrationCore::SweepSampleCount(sampleCount)), 0);
}

void CPropertyCalibrate::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, CalibrationControls::progressBar, progressBar);
    ExchangeInteger(dx, CalibrationControls::highCountsEdit, highCounts);
    ExchangeInteger(dx, CalibrationControls::highWavelengthEdit, highWavelength);
    ExchangeInteger(dx, CalibrationControls::lowCountsEdit, lowCounts);
    ExchangeInteger(dx, CalibrationControls::lowWavelengthEdit, lowWavelength);
}

void CPropertyCalibrate::ConnectControls() {
    if (plot)
        return;
    plot = CalibrationPageParts::CreatePlot(*this, CalibrationDialog());
    if (auto* button = ControlAs<QPushButton>(CalibrationControls::runFirstButton))
        connect(button, &QPushButton::clicked, this, &CPropertyCalibrate::OnRunFirst);
    if (auto* button = ControlAs<QPushButton>(CalibrationControls::runSecondButton))
        connect(button, &QPushButton::clicked, this, &CPropertyCalibrate::OnRunSecond);
    if (auto* button = ControlAs<QPushButton>(CalibrationControls::saveToFileButton))
        connect(button, &QPushButton::clicked, this, &CPropertyCalibrate::OnSaveToFile);
}

bool CPropertyCalibrate::OnSetActive() {
    ConnectControls();
    const BlockingExchange held;
    if (AdcLink::ReadCalibration(lowWavelength, lowCounts, highWavelength, highCounts)) {
        SetModified(true);
    } else {
        WaitCursor wait;
        CalibrationPageParts::PauseBeforeRetry();
        if (AdcLink::ReadCalibration(lowWavelength, lowCounts, highWavelength, highCounts)) {
            SetModified(true);
        } else {
            lowWavelength = lowCounts = highWavelength = highCounts = 0;
            SetModified(false);
        }
    }
    CalibrationPageParts::ShowHeldCalibration(plot, lowWavelength, lowCounts, highWavelength,
                                              highCounts);
    // The bar's step is 1 for good: SweepDisplay advances it by one per sample.
    UpdateData(false);
    return CPropertyPage::OnSetActive();
}

bool CPropertyCalibrate::OnKillActive() {
    return KillActiveUnmodified();
}

bool CPropertyCalibrate::OnApply() {
    // only the displayed calibration page writes to the controller
    if (!isVisible())
        return true;
    const BlockingExchange held;
    UpdateData(true); // the fields are sent as they stand, whatever it reports
    CalibrationPageParts::WriteCalibrationOrTell(plot, lowWavelength, lowCounts, highWavelength,
                                                 highCounts);
    return true;
}

void CPropertyCalibrate::OnRunFirst() {
    RunSweep(lowCounts, "1st");
}

void CPropertyCalibrate::OnRunSecond() {
    RunSweep(highCounts, "2nd");
}

void CPropertyCalibrate::RunSweep(int32_t& target, const char* label) {
    const BlockingExchange held; // a click made during the sweep must not start another
    UpdateData(true);            // so the typed wavelengths take effect
    WaitCursor wait;
    if (SweepForPeak(target)) {
        if (plot)
            plot->SetMarkers({{target, label, QColor(200, 40, 40)}});
    } else {
        AppMessageBox(FailureTexts::sweepFailed);
    }
    if (progressBar)
        progressBar->setValue(0);
}

bool CPropertyCalibrate::SweepForPeak(int32_t& target) {
    CalibrationPageParts::SweepDisplay display(progressBar, plot, sampleCount);
    if (!CalibrationCore::SweepForPeak(sampleCount, samples, target, AdcLink::ProbeAnalogChannel,
                                       display.Callback()))
        return false;
    UpdateData(false);
    return true;
}

void CPropertyCalibrate::OnSaveToFile() {
    if (samples.empty()) {
        AppMessageBox("No calibration data available!");
        return;
    }
    CalibrationPageParts::SaveReadings(samples, sampleCount);
}
