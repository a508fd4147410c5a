#include "device/ProtocolArithmetic.h"

#include <cmath>
#include <limits>

int32_t ToTenths(double milliseconds) {
    const double tenths = std::trunc(milliseconds * 10.0);
    if (std::isnan(tenths))
        return 0;
    if (tenths >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (tenths <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(tenths);
}

double ToMilliseconds(int64_t tenths) {
    return static_cast<double>(tenths) * 0.1;
}

int32_t RestingTenths(double ct, double dt, double it1, double it2, bool singleWavelength) {
    if (singleWavelength)
        return ToTenths(ct - (it1 + dt));
    return ToTenths(ct - (dt + dt + it2 + it1));
}

// Sums run in 64 bits: the controller may report any 32-bit values.
double CorrectedCycle(int32_t dt, int32_t it1, int32_t it2) {
    return ToMilliseconds(int64_t{it2} + 2 * int64_t{dt} + it1);
}

double ReadBackCycle(int32_t dt, int32_t it1, int32_t it2, int32_t rest, bool singleWavelength) {
    const int64_t deadTimes = singleWavelength ? int64_t{dt} : 2 * int64_t{dt};
    return ToMilliseconds(deadTimes + it1 + it2 + rest);
}

double AppliedCycle(int32_t dt, int32_t it1, int32_t it2, int32_t rest, bool singleWavelength) {
    if (singleWavelength)
        return ToMilliseconds(int64_t{rest} + it1 + dt);
    return ToMilliseconds(int64_t{rest} + 2 * int64_t{dt} + it2 + it1);
}
