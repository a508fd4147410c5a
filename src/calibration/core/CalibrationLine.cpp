#include "calibration/core/CalibrationLine.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace CalibrationCore {

namespace {

// Rounded half away from zero; none beyond 32 bits.
std::optional<int32_t> Whole(double value) {
    const double whole = std::round(value);
    if (!std::isfinite(whole) || whole < std::numeric_limits<int32_t>::min() ||
        whole > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(whole);
}

// A sign only where the figure is not 0, so a rounded -0.04 shows as 0.0.
std::string Signed(int64_t value, const char* minus) {
    if (value > 0)
        return "+" + std::to_string(value);
    if (value < 0)
        return minus + std::to_string(-value);
    return "0";
}

std::string SignedTenths(int32_t tenths, const char* minus) {
    const int64_t magnitude = std::llabs(static_cast<int64_t>(tenths));
    std::string text = std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
    if (tenths > 0)
        return "+" + text;
    if (tenths < 0)
        return minus + text;
    return text;
}

} // namespace

double CalibrationLine::WavelengthAt(double counts) const {
    return lowWavelength +
           (counts - lowCounts) * (highWavelength - lowWavelength) / (highCounts - lowCounts);
}

double CalibrationLine::CountsAt(double wavelength) const {
    return lowCounts + (wavelength - lowWavelength) * (highCounts - lowCounts) /
                           (highWavelength - lowWavelength);
}

bool CalibrationLine::operator==(const CalibrationLine& other) const {
    return lowCounts == other.lowCounts && lowWavelength == other.lowWavelength &&
           highCounts == other.highCounts && highWavelength == other.highWavelength;
}

std::optional<CalibrationLine> LineThrough(int32_t lowWavelength, int32_t lowCounts,
                                           int32_t highWavelength, int32_t highCounts) {
    if (lowWavelength == 0 || lowCounts == 0 || highWavelength == 0 || highCounts == 0 ||
        lowCounts == highCounts || lowWavelength == highWavelength)
        return std::nullopt;
    return CalibrationLine{static_cast<double>(lowCounts), static_cast<double>(lowWavelength),
                           static_cast<double>(highCounts), static_cast<double>(highWavelength)};
}

bool BandFound(const Band& band) {
    return band.counts != 0 || band.intensity != 0;
}

std::optional<Linearity> MiddleBandLinearity(const Bands& bands, bool wavelengthsTyped) {
    // a low or high band that found no peak has counts 0, which makes no line
    if (!wavelengthsTyped || bands.middle.wavelength == 0 || !BandFound(bands.middle))
        return std::nullopt;
    const std::optional<CalibrationLine> line = LineThrough(
        bands.low.wavelength, bands.low.counts, bands.high.wavelength, bands.high.counts);
    if (!line)
        return std::nullopt;
    const std::optional<int32_t> tenths =
        Whole(10.0 * (bands.middle.wavelength - line->WavelengthAt(bands.middle.counts)));
    const std::optional<int32_t> counts =
        Whole(bands.middle.counts - line->CountsAt(bands.middle.wavelength));
    if (!tenths || !counts)
        return std::nullopt;
    return Linearity{*tenths, *counts};
}

std::string LinearityText(const Linearity& linearity) {
    const char* minus = "\u2212";
    return "middle band " + SignedTenths(linearity.nmTenths, minus) + " nm / " +
           Signed(linearity.counts, minus) + " counts off the low\u2013high line";
}

std::string LinearityFigures(const std::optional<Linearity>& linearity) {
    if (!linearity)
        return "unavailable";
    return SignedTenths(linearity->nmTenths, "-") + " " + Signed(linearity->counts, "-");
}

} // namespace CalibrationCore
