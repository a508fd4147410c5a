#include "calibration/CPropertyCalibrateTriple.h"

#include "calibration/CalibrationPageParts.h"
#include "calibration/core/BandSweep.h"
#include "calibration/core/CalibrationLine.h"
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
#include "ui/sheet/ExchangeText.h"
#include "ui/sheet/WaitCursor.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QString>

#include <algorithm>
#include <array>
#include <iterator>

namespace {

const DialogTemplate& PageTemplate() {
    static const DialogTemplate grown =
        CalibrationPageParts::WithPlotRoom(TripleCalibrationDialog());
    return grown;
}

// The nine band edits.
constexpr int bandEdits[] = {
    TripleControls::lowWavelengthEdit,  TripleControls::lowCountsEdit,
    TripleControls::lowIntensityEdit,   TripleControls::middleWavelengthEdit,
    TripleControls::middleCountsEdit,   TripleControls::middleIntensityEdit,
    TripleControls::highWavelengthEdit, TripleControls::highCountsEdit,
    TripleControls::highIntensityEdit};

} // namespace

CPropertyCalibrateTriple::CPropertyCalibrateTriple() : CPropertyPage(PageTemplate()) {
    sampleCount = CalibrationCore::NormaliseSampleCount(static_cast<int32_t>(
        SettingsFile::GetProfileInt("Triple Band Calibration", "Values", 256)));
    SettingsFile::WriteProfileInt("Triple Band Calibration", "Values", sampleCount);
}

void CPropertyCalibrateTriple::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, TripleControls::progressBar, progressBar);
    ExchangeInteger(dx, TripleControls::highCountsEdit, highCounts);
    ExchangeInteger(dx, TripleControls::highWavelengthEdit, highWavelength);
    ExchangeInteger(dx, TripleControls::highIntensityEdit, highIntensity);
    ExchangeInteger(dx, TripleControls::middleCountsEdit, middleCounts);
    ExchangeInteger(dx, TripleControls::middleWavelengthEdit, middleWavelength);
    ExchangeInteger(dx, TripleControls::middleIntensityEdit, middleIntensity);
    ExchangeInteger(dx, TripleControls::lowCountsEdit, lowCounts);
    ExchangeInteger(dx, TripleControls::lowWavelengthEdit, lowWavelength);
    ExchangeInteger(dx, TripleControls::lowIntensityEdit, lowIntensity);
}

void CPropertyCalibrateTriple::ConnectControls() {
    if (plot)
        return;
    plot = CalibrationPageParts::CreatePlot(*this, TripleCalibrationDialog());
    if (auto* button = ControlAs<QPushButton>(TripleControls::runButton))
        connect(button, &QPushButton::clicked, this, &CPropertyCalibrateTriple::OnRun);
    if (auto* button = ControlAs<QPushButton>(TripleControls::saveToFileButton))
        connect(button, &QPushButton::clicked, this, &CPropertyCalibrateTriple::OnSaveToFile);
    for (const int id : bandEdits)
        if (auto* edit = ControlAs<QLineEdit>(id))
            connect(edit, &QLineEdit::textChanged, this, &CPropertyCalibrateTriple::OnEditChange);
}

bool CPropertyCalibrateTriple::OnSetActive() {
    ConnectControls();
    const BlockingExchange held;
    std::fill(std::begin(wavelengthTyped), std::end(wavelengthTyped), false);
    lowCounts = lowWavelength = lowIntensity = 0;
    middleCounts = middleWavelength = middleIntensity = 0;
    highCounts = highWavelength = highIntensity = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        // a failed read writes no field, so two failures leave them all 0
        if (AdcLink::ReadCalibration(lowWavelength, lowCounts, highWavelength, highCounts)) {
            SetModified(true);
            break;
        }
        WaitCursor wait;
        CalibrationPageParts::PauseBeforeRetry();
        SetModified(false);
    }
    CalibrationPageParts::ShowHeldCalibration(plot, lowWavelength, lowCounts, highWavelength,
                                              highCounts);
    // what the last sweep found belongs to fields that now hold the controller's values
    if (plot) {
        plot->SetMarkers({});
        plot->SetCaption(QString());
    }
    // The bar's step is 1 for good: SweepDisplay advances it by one per sample.
    UpdateData(false);
    return CPropertyPage::OnSetActive();
}

bool CPropertyCalibrateTriple::OnKillActive() {
    return KillActiveUnmodified();
}

bool CPropertyCalibrateTriple::OnApply() {
    // only the displayed calibration page writes; the middle band is never sent
    if (!isVisible())
        return true;
    const BlockingExchange held;
    UpdateData(true);
    CalibrationPageParts::WriteCalibrationOrTell(plot, lowWavelength, lowCounts, highWavelength,
                                                 highCounts);
    return true;
}

void CPropertyCalibrateTriple::OnRun() {
    const BlockingExchange held; // a click made during the sweep must not act after it
    UpdateData(true);            // so the typed wavelengths take effect
    // a wavelength completed by a sweep lies on the line by construction
    const bool typed = std::all_of(std::begin(wavelengthTyped), std::end(wavelengthTyped),
                                   [](bool each) { return each; });
    WaitCursor wait;
    if (SweepForBands()) {
        ShowFoundBands();
        ShowLinearity(typed);
    } else
        AppMessageBox(FailureTexts::sweepFailed);
    if (progressBar)
        progressBar->setValue(0);
}

bool CPropertyCalibrateTriple::SweepForBands() {
    CalibrationPageParts::SweepDisplay display(progressBar, plot, sampleCount);
    CalibrationCore::Bands bands = FieldBands();
    if (!CalibrationCore::SweepForBands(sampleCount, samples, bands, AdcLink::ProbeAnalogChannel,
                                        display.Callback()))
        return false;
    lowCounts = bands.low.counts;
    lowWavelength = bands.low.wavelength;
    lowIntensity = bands.low.intensity;
    middleCounts = bands.middle.counts;
    middleWavelength = bands.middle.wavelength;
    middleIntensity = bands.middle.intensity;
    highCounts = bands.high.counts;
    highWavelength = bands.high.wavelength;
    highIntensity = bands.high.intensity;
    UpdateData(false);
    return true;
}

void CPropertyCalibrateTriple::ShowFoundBands() {
    if (!plot)
        return;
    plot->SetMarkers({{lowCounts, "low", QColor(200, 40, 40)},
                      {middleCounts, "middle", QColor(30, 140, 60)},
                      {highCounts, "high", QColor(190, 110, 0)}});
}

void CPropertyCalibrateTriple::ShowLinearity(bool wavelengthsTyped) {
    if (!plot)
        return;
    const auto linearity = CalibrationCore::MiddleBandLinearity(FieldBands(), wavelengthsTyped);
    plot->SetCaption(linearity ? QString::fromStdString(CalibrationCore::LinearityText(*linearity))
                               : QString());
}

void CPropertyCalibrateTriple::OnEditChange() {
    if (IsExchanging())
        return;
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        focus = window()->focusWidget(); // the window's own choice while it is not active
    // Only the page's band edits: a change can only come from one of them, and
    // a button's caption must never be turned into "0".
    int id = 0;
    for (const int candidate : bandEdits)
        if (Control(candidate) == focus)
            id = candidate;
    if (id <= 0)
        return;
    auto* edit = ControlAs<QLineEdit>(id);
    int32_t value = 0;
    if (!ParseInteger(edit->text().toStdString(), value))
        edit->setText("0"); // raises this notification again, which then reads 0
    const CalibrationCore::Bands before = FieldBands();
    UpdateData(true);
    NoteTypedWavelength(id);
    ForgetStaleResults(before);
}

CalibrationCore::Bands CPropertyCalibrateTriple::FieldBands() const {
    CalibrationCore::Bands bands;
    bands.low = {lowCounts, lowWavelength, lowIntensity};
    bands.middle = {middleCounts, middleWavelength, middleIntensity};
    bands.high = {highCounts, highWavelength, highIntensity};
    return bands;
}

void CPropertyCalibrateTriple::ForgetStaleResults(const CalibrationCore::Bands& before) {
    if (!plot)
        return;
    const CalibrationCore::Bands now = FieldBands();
    const auto counts = [](const CalibrationCore::Bands& b) {
        return std::array<int32_t, 3>{b.low.counts, b.middle.counts, b.high.counts};
    };
    const auto wavelengths = [](const CalibrationCore::Bands& b) {
        return std::array<int32_t, 3>{b.low.wavelength, b.middle.wavelength, b.high.wavelength};
    };
    // the markers stand at the counts found, the linearity line uses both
    const bool countsChanged = counts(before) != counts(now);
    if (countsChanged)
        plot->SetMarkers({});
    if (countsChanged || wavelengths(before) != wavelengths(now))
        plot->SetCaption(QString());
}

void CPropertyCalibrateTriple::NoteTypedWavelength(int id) {
    const int wavelengthEdits[] = {TripleControls::lowWavelengthEdit,
                                   TripleControls::middleWavelengthEdit,
                                   TripleControls::highWavelengthEdit}; // low, middle, high
    const int32_t* wavelengths[] = {&lowWavelength, &middleWavelength, &highWavelength};
    for (int band = 0; band < 3; ++band)
        if (id == wavelengthEdits[band])
            wavelengthTyped[band] = *wavelengths[band] != 0; // 0 asks for completion
}

void CPropertyCalibrateTriple::OnSaveToFile() {
    // writes the readings held: fewer than N after a failed sweep, none before the first
    CalibrationPageParts::SaveReadings(samples, sampleCount);
}
