#include "sim/SimOptics.h"

#include <algorithm>
#include <cmath>

namespace SimOptics {

namespace {
constexpr double lowEnd = 240.0;  // nm at counts 0
constexpr double highEnd = 699.0; // nm at counts 4095
constexpr double bow = 12.0;      // quadratic term: 3 nm off the straight line at mid-scale
} // namespace

double TrueWavelength(double counts) {
    const double x = counts / maxCounts;
    return lowEnd + (highEnd - lowEnd) * x + bow * x * (1.0 - x);
}

double CountsForTrueWavelength(double nm) {
    // Monotonic curve: bisection is plenty and needs no closed form.
    double lo = 0.0;
    double hi = maxCounts;
    if (nm <= TrueWavelength(lo))
        return lo;
    if (nm >= TrueWavelength(hi))
        return hi;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (lo + hi);
        (TrueWavelength(mid) < nm ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

double SourceSpectrum(double nm) {
    const double d = (nm - 460.0) / 150.0;
    return 0.3 + 0.6 * std::exp(-d * d);
}

double FilterTransmission(const std::vector<double>& bandCentres, double nm) {
    if (bandCentres.empty())
        return 1.0;
    // Gaussian with FWHM bandWidth: exp(-4 ln2 (d / FWHM)^2).
    double sum = 0.0;
    for (double centre : bandCentres) {
        const double d = (nm - centre) / bandWidth;
        sum += bandPeakTransmission * std::exp(-4.0 * std::log(2.0) * d * d);
    }
    return std::min(sum, 1.0);
}

double IdealReading(const std::vector<double>& bandCentres, int32_t counts) {
    const double nm = TrueWavelength(counts);
    return darkReading + fullScale * SourceSpectrum(nm) * FilterTransmission(bandCentres, nm);
}

} // namespace SimOptics
