#include "pages/CPropertyWavelen.h"

#include "DialogTemplates.h"
#include "platform/DataExchange.h"

CPropertyWavelen::CPropertyWavelen() : CPropertyPage(WavelengthProtocolDialog()) {}

void CPropertyWavelen::DoDataExchange(DataExchange& dx) {
    ExchangeNumber(dx, 1005, ct);
    ExchangeNumber(dx, 1006, dt);
    ExchangeNumber(dx, 1001, it1);
    ExchangeNumber(dx, 1002, it2);
    ExchangeInteger(dx, 1007, wl0);
    ExchangeInteger(dx, 1003, wl1);
    ExchangeInteger(dx, 1004, wl2);
    ExchangeCheck(dx, 1032, reactivate);
    ExchangeCheck(dx, 1030, singleWavelength);
    if (dx.Failed())
        return;
    // Wavelength 2 and its integration time are unused in single-wavelength mode.
    if (QWidget* edit = Control(1004))
        edit->setEnabled(!singleWavelength);
    if (QWidget* edit = Control(1002))
        edit->setEnabled(!singleWavelength);
}
