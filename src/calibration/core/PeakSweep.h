#pragma once

#include "calibration/core/SampleGrid.h"

#include <cstdint>
#include <vector>

// The two-point calibration's sweep: find the strongest reading behind one
// reference filter and refine it to a centroid.
namespace CalibrationCore {

// Probes every grid point of a sweep of sampleCount samples, in order, into
// samples (resized to the sweep's sample count; entries are overwritten one
// by one, so after a failure the entries from the failed index on still
// hold the previous sweep). The raw peak is the first strictly greatest
// positive reading (index 0 if none is positive); target becomes its counts,
// then the centroid of CentroidAboveHalf when that succeeds.
// On a probe failure, or a stop request met before a probe, returns false at
// once with target unchanged.
bool SweepForPeak(int32_t sampleCount, std::vector<int32_t>& samples, int32_t& target,
                  const Probe& probe, const Progress& progress = {},
                  const StopRequest* stop = nullptr);

// Index of the first strictly greatest positive reading; 0 if none is positive.
int32_t RawPeakIndex(const std::vector<int32_t>& samples);

// Centroid of every sample of the sweep (not only the peak's neighbourhood)
// that is strictly above half the reading at counts. counts: in, the raw
// peak's counts; out, step * weighted / sum, truncated. Returns false and
// leaves counts alone when no sample lies above half or counts is off the
// grid held in samples.
bool CentroidAboveHalf(const std::vector<int32_t>& samples, int32_t sampleCount, int32_t& counts);

} // namespace CalibrationCore
