#include "calibration/CPropertyCalibrateTriple.h"

#include "DialogTemplates.h"
#include "calibration/SampleGrid.h"
#include "platform/DataExchange.h"
#include "platform/SettingsFile.h"

#include <QProgressBar>

CPropertyCalibrateTriple::CPropertyCalibrateTriple() : CPropertyPage(TripleCalibrationDialog()) {
    sampleCount = CalibrationCore::NormaliseSampleCount(static_cast<int32_t>(
        SettingsFile::GetProfileInt("Triple Band Calibration", "Values", 256)));
    SettingsFile::WriteProfileInt("Triple Band Calibration", "Values", sampleCount);
}

void CPropertyCalibrateTriple::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, 1029, progressBar);
    ExchangeInteger(dx, 1020, highCounts);
    ExchangeInteger(dx, 1018, highWavelength);
    ExchangeInteger(dx, 1025, highIntensity);
    ExchangeInteger(dx, 1022, middleCounts);
    ExchangeInteger(dx, 1021, middleWavelength);
    ExchangeInteger(dx, 1024, middleIntensity);
    ExchangeInteger(dx, 1019, lowCounts);
    ExchangeInteger(dx, 1017, lowWavelength);
    ExchangeInteger(dx, 1023, lowIntensity);
}
