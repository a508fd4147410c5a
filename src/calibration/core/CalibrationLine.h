#pragma once

#include "calibration/core/BandSweep.h"

#include <cstdint>
#include <optional>
#include <string>

// The straight line of wavelength against DA counts through two calibration
// points, which is all a two-point calibration knows, and how far the middle
// band of a three-band sweep lies off it.
namespace CalibrationCore {

struct CalibrationLine {
    double lowCounts, lowWavelength;   // DA counts, nm
    double highCounts, highWavelength; // DA counts, nm

    double WavelengthAt(double counts) const;
    double CountsAt(double wavelength) const;
    bool operator==(const CalibrationLine& other) const;
};

// The line through the two points; none where they cannot define one: equal
// counts, equal wavelengths, or any of the four at 0 (a field never filled, a
// band that found no peak).
std::optional<CalibrationLine> LineThrough(int32_t lowWavelength, int32_t lowCounts,
                                           int32_t highWavelength, int32_t highCounts);

// A band that found no peak is left with counts 0 and intensity 0.
bool BandFound(const Band& band);

struct Linearity {
    int32_t nmTenths; // typed middle wavelength - the line's wavelength at the middle counts
    int32_t counts;   // middle counts - the line's counts at the typed middle wavelength
};

// The middle band against the line through the low and high bands, rounded
// half away from zero to tenths of a nm and to whole counts. None unless all
// three bands were found, all three wavelengths were given before the sweep
// (wavelengthsTyped: a completed wavelength lies on the line by construction)
// and the low and high bands define a line.
std::optional<Linearity> MiddleBandLinearity(const Bands& bands, bool wavelengthsTyped);

// "middle band +2.5 nm / −22 counts off the low–high line" (UTF-8).
std::string LinearityText(const Linearity& linearity);
// "+2.5 -22", or "unavailable": the figures as vornadc-cli prints them.
std::string LinearityFigures(const std::optional<Linearity>& linearity);

} // namespace CalibrationCore
