#include "calibration/CPropertyCalibrate.h"

#include "DialogTemplates.h"
#include "calibration/SampleGrid.h"
#include "platform/DataExchange.h"
#include "platform/SettingsFile.h"

#include <QProgressBar>

CPropertyCalibrate::CPropertyCalibrate() : CPropertyPage(CalibrationDialog()) {
    // The profile holds an unsigned value; a stored -1 comes back as 4294967295
    // and is taken as the signed count it was written from.
    sampleCount = CalibrationCore::NormaliseSampleCount(
        static_cast<int32_t>(SettingsFile::GetProfileInt("Calibration", "Values", 1024)));
    SettingsFile::WriteProfileInt("Calibration", "Values", sampleCount);
    samples.resize(static_cast<size_t>(sampleCount));
}

void CPropertyCalibrate::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, 1029, progressBar);
    ExchangeInteger(dx, 1020, highCounts);
    ExchangeInteger(dx, 1018, highWavelength);
    ExchangeInteger(dx, 1019, lowCounts);
    ExchangeInteger(dx, 1017, lowWavelength);
}
