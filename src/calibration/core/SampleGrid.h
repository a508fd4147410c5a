#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

// The sampling grid of a calibration sweep and the callbacks a sweep talks
// through. Shared by both calibration pages and the command-line tool.
namespace CalibrationCore {

// value: in, the DA counts to set; out, the reading at those counts.
// Returns false when the controller could not be probed.
using Probe = std::function<bool(int32_t& value)>;
// Called after each sample with its index and reading, so a progress bar or
// a plot can follow the sweep.
using Progress = std::function<void(int32_t index, int32_t reading)>;
// Set (by a progress callback, say) to end a sweep before its next probe; the
// sweep then fails as a failed probe makes it fail. The pages pass none: their
// sweeps cannot be cancelled.
using StopRequest = std::atomic<bool>;

// The whole DA range a sweep covers.
constexpr int32_t countsRange = 4096;

// The stored "Values" setting as the pages use and write it back: odd values
// (negative ones too) lose 1, then anything below 16 becomes 16. No upper
// limit, so the stored value survives unchanged.
int32_t NormaliseSampleCount(int32_t stored);

// The number of samples a sweep actually takes: at most 4096 so the step is
// never 0, and at least 1.
int32_t SweepSampleCount(int32_t sampleCount);

// DA counts between two samples: 4096 / SweepSampleCount, always at least 1.
int32_t SampleStep(int32_t sampleCount);

} // namespace CalibrationCore
