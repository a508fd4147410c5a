#pragma once

#include "calibration/core/SampleGrid.h"

#include <cstdint>
#include <vector>

// The triple band calibration: one sweep behind a three-band filter finds
// the counts of all three bands.
namespace CalibrationCore {

struct Band {
    int32_t counts = 0;     // DA counts of the band's centre
    int32_t wavelength = 0; // nm; 0 means "complete me from the other two"
    int32_t intensity = 0;  // reading at the band's raw peak
};

struct Bands {
    Band low;
    Band middle;
    Band high;
};

// Empties samples, then probes every grid point, appending each reading.
// Each rise that opens a new band moves on to the next of four slots
// (slot 3 only absorbs later rises). Slots 0..2 give the low, middle and
// high band: counts and intensity at the slot's peak, the counts refined by
// CentroidOfPeakRun; then CompleteBandWavelengths fills a 0 wavelength.
// On a probe failure, or a stop request met before a probe, returns false at
// once: bands unchanged, samples holds
// the readings taken.
bool SweepForBands(int32_t sampleCount, std::vector<int32_t>& samples, Bands& bands,
                   const Probe& probe, const Progress& progress = {},
                   const StopRequest* stop = nullptr);

// Centroid of the contiguous run of samples strictly above half the reading
// at counts. counts: in, the raw peak's counts; out, the refined counts.
// Off-grid counts are left alone. Always returns true.
bool CentroidOfPeakRun(const std::vector<int32_t>& samples, int32_t& counts);

// Fills a wavelength that is 0 from the straight line through the other two
// bands (counts against nm). A zero divisor leaves the wavelength at 0.
void CompleteBandWavelengths(Bands& bands);

} // namespace CalibrationCore
