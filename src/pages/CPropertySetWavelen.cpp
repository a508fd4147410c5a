#include "pages/CPropertySetWavelen.h"

#include "DialogTemplates.h"
#include "platform/DataExchange.h"

#include <QLineEdit>

CPropertySetWavelen::CPropertySetWavelen() : CPropertyPage(SetWavelengthDialog()) {}

void CPropertySetWavelen::DoDataExchange(DataExchange& dx) {
    AttachControl(dx, 1043, statusEdit);
    AttachControl(dx, 1045, debugEdit);
    ExchangeInteger(dx, 1034, waveLength2);
    ExchangeInteger(dx, 1033, waveLength1);
    ExchangeInteger(dx, 1035, waveLength3);
    ExchangeInteger(dx, 1036, waveLength4);
    ExchangeText(dx, 1043, statusText);
    ExchangeText(dx, 1045, debugText);
}
