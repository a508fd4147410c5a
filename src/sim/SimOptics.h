#pragma once

#include <cstdint>
#include <vector>

// The simulator's hidden physics: what the light source really emits at a DA
// count, how bright it is, what a reference filter lets through and what the
// 12-bit detector makes of it. The program never sees these curves; it only
// sees readings, as with a real light source.
namespace SimOptics {

constexpr int32_t maxCounts = 4095; // 12-bit DA output and detector
constexpr double bandWidth = 10.0;  // filter band FWHM, nm
constexpr double bandPeakTransmission = 0.85;
constexpr double darkReading = 10.0; // detector offset with no light, counts
constexpr double fullScale = 4000.0; // reading for spectrum x transmission = 1

// True wavelength (nm) at DA counts 0..4095: 240 nm at 0, 699 nm at 4095,
// bowed 3 nm above the straight line in the middle.
double TrueWavelength(double counts);
// The DA counts (fractional) whose true wavelength is nm, clamped to 0..4095.
double CountsForTrueWavelength(double nm);
// Relative source intensity, smooth and between 0.3 and 0.9 over 200..750 nm.
double SourceSpectrum(double nm);
// Transmission of a filter with the given band centres (none: open beam, 1).
// Each band is a Gaussian of width bandWidth (FWHM) peaking at
// bandPeakTransmission; overlapping bands add up, capped at 1.
double FilterTransmission(const std::vector<double>& bandCentres, double nm);
// Noise-free detector reading at DA counts, before noise and clamping.
double IdealReading(const std::vector<double>& bandCentres, int32_t counts);

} // namespace SimOptics
