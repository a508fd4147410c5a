#include "calibration/core/PeakSweep.h"

namespace CalibrationCore {

bool SweepForPeak(int32_t sampleCount, std::vector<int32_t>& samples, int32_t& target,
                  const Probe& probe, const Progress& progress, const StopRequest* stop) {
    const int32_t n = SweepSampleCount(sampleCount);
    const int32_t step = SampleStep(sampleCount);
    // resize keeps what is held: a failed sweep leaves the older readings behind it
    samples.resize(static_cast<size_t>(n), 0);

    for (int32_t i = 0; i < n; ++i) {
        if (stop && *stop)
            return false;
        int32_t value = i * step;
        if (!probe(value))
            return false;
        samples[static_cast<size_t>(i)] = value;
        if (progress)
            progress(i, value);
    }

    target = step * RawPeakIndex(samples);
    CentroidAboveHalf(samples, sampleCount, target);
    return true;
}

int32_t RawPeakIndex(const std::vector<int32_t>& samples) {
    int32_t bestReading = 0;
    int32_t bestIndex = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        // strictly greater: the first of equal maxima wins, and a sweep
        // without a positive reading keeps index 0
        if (samples[i] > bestReading) {
            bestReading = samples[i];
            bestIndex = static_cast<int32_t>(i);
        }
    }
    return bestIndex;
}

bool CentroidAboveHalf(const std::vector<int32_t>& samples, int32_t sampleCount, int32_t& counts) {
    const int32_t step = SampleStep(sampleCount);
    if (counts < 0)
        return false;
    const size_t peakIndex = static_cast<size_t>(counts / step);
    if (peakIndex >= samples.size())
        return false;
    const int32_t half = samples[peakIndex] / 2;

    // reading * index over 4096 samples overflows 32 bits long before the
    // readings get unusual, so sum in 64 bits
    int64_t weighted = 0;
    int64_t sum = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] > half) {
            weighted += static_cast<int64_t>(samples[i]) * static_cast<int64_t>(i);
            sum += samples[i];
        }
    }
    if (sum <= 0)
        return false;
    // multiply before dividing so the grid's resolution is not lost
    counts = static_cast<int32_t>((static_cast<int64_t>(step) * weighted) / sum);
    return true;
}

} // namespace CalibrationCore
