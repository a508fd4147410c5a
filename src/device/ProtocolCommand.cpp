#include "device/ProtocolCommand.h"

#include "device/AdcLink.h"
#include "device/ProtocolArithmetic.h"

const char* const invalidCycleText = "Invalid cycle time corrected!";

ProtocolApplied ApplyProtocolInMs(ProtocolInMs& protocol, std::string& errorText) {
    ProtocolInMs& p = protocol;
    int32_t dt = ToTenths(p.dt);
    int32_t it1 = ToTenths(p.it1);
    int32_t it2 = p.singleWavelength ? 0 : ToTenths(p.it2);
    int32_t rest = RestingTenths(p.ct, p.dt, p.it1, p.it2, p.singleWavelength);
    if (rest < 0) {
        // The times stay as typed; only the cycle grows to hold them.
        p.ct = CorrectedCycle(dt, it1, it2);
        errorText = invalidCycleText;
        return ProtocolApplied::CycleCorrected;
    }
    // wl2 = 0 makes the short, five-value form of the command.
    if (p.singleWavelength)
        p.wl2 = 0;
    const bool defined =
        AdcLink::DefineProtocol(dt, it1, it2, rest, p.wl0, p.wl1, p.wl2, errorText);
    if (p.singleWavelength)
        p.wl2 = p.wl1;
    // What was sent, with the link's corrections.
    p.dt = ToMilliseconds(dt);
    p.it1 = ToMilliseconds(it1);
    p.it2 = ToMilliseconds(it2);
    p.ct = AppliedCycle(dt, it1, it2, rest, p.singleWavelength);
    return defined ? ProtocolApplied::Defined : ProtocolApplied::NotDefined;
}

bool ReadProtocolInMs(ProtocolInMs& protocol, std::string& errorText) {
    int32_t dt = 0, it1 = 0, it2 = 0, rest = 0, wl0 = 0, wl1 = 0, wl2 = 0; // tenths, nm
    if (!AdcLink::ReadProtocol(dt, it1, it2, rest, wl0, wl1, wl2, errorText))
        return false;
    ProtocolInMs& p = protocol;
    p.wl0 = wl0;
    p.wl1 = wl1;
    p.wl2 = wl2;
    // A protocol without wavelength 2 is a single-wavelength one.
    if (p.wl2 == 0) {
        p.singleWavelength = true;
        p.wl2 = p.wl1;
    }
    p.dt = ToMilliseconds(dt);
    p.it1 = ToMilliseconds(it1);
    p.it2 = ToMilliseconds(it2);
    p.ct = ReadBackCycle(dt, it1, it2, rest, p.singleWavelength);
    return true;
}
