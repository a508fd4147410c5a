#include "calibration/core/BandSweep.h"

#include <cmath>
#include <limits>

namespace CalibrationCore {

namespace {

struct Slot {
    int32_t peakReading = 0;
    int32_t peakIndex = 0;
};

// Differences wrap as 32-bit integers do on the controller's side of the
// arithmetic; computed unsigned so extreme inputs are not undefined.
int32_t Difference(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// +0.5 then truncation toward zero (not rounding for negative values).
// A quotient without a numeric value, or a value beyond 32 bits, leaves
// the wavelength as it was.
void MakeWhole(double value, int32_t& wavelength) {
    const double whole = std::trunc(value + 0.5);
    if (!std::isfinite(whole) || whole < std::numeric_limits<int32_t>::min() ||
        whole > std::numeric_limits<int32_t>::max())
        return;
    wavelength = static_cast<int32_t>(whole);
}

} // namespace

bool SweepForBands(int32_t sampleCount, std::vector<int32_t>& samples, Bands& bands,
                   const Probe& probe, const Progress& progress, const StopRequest* stop) {
    const int32_t n = SweepSampleCount(sampleCount);
    const int32_t step = SampleStep(sampleCount);
    const int32_t minChanges = n / 128;

    samples.clear();
    Slot slots[4];
    int current = 0;
    int64_t previous = 0;
    int32_t changes = 0;

    for (int32_t i = 0; i < n; ++i) {
        if (stop && *stop)
            return false;
        int32_t value = i * step;
        if (!probe(value))
            return false;
        samples.push_back(value);
        const int64_t r = value; // 64-bit so r > p + 1 cannot overflow

        // a clear rise after enough movement closes a band that has a real peak
        if (r > previous + 1 && changes > minChanges && slots[current].peakReading > 20 &&
            current < 3) {
            ++current;
            changes = 0;
        }
        // wiggles of 1 never move a peak
        if (r > previous && r > static_cast<int64_t>(slots[current].peakReading) + 1) {
            slots[current].peakReading = value;
            slots[current].peakIndex = i;
            changes = 0;
        }
        if (r != previous)
            ++changes;
        previous = r;
        if (progress)
            progress(i, value);
    }

    Band* targets[3] = {&bands.low, &bands.middle, &bands.high};
    for (int s = 0; s < 3; ++s) {
        Band& band = *targets[s];
        band.counts = step * slots[s].peakIndex;
        band.intensity = samples[static_cast<size_t>(slots[s].peakIndex)];
        CentroidOfPeakRun(samples, band.counts);
    }
    CompleteBandWavelengths(bands);
    return true;
}

bool CentroidOfPeakRun(const std::vector<int32_t>& samples, int32_t& counts) {
    const int64_t n = samples.empty() ? 1 : static_cast<int64_t>(samples.size());
    const int64_t step = countsRange / n;
    if (step == 0 || counts < 0 || samples.empty())
        return true;
    const int64_t k = counts / step;
    if (k >= static_cast<int64_t>(samples.size()))
        return true;
    const int32_t half = samples[static_cast<size_t>(k)] / 2;

    // the walk down stops before index 0, so index 0 joins the run only as
    // the peak itself
    int64_t j = k - 1;
    while (j > 0 && samples[static_cast<size_t>(j)] > half)
        --j;
    const int64_t start = j + 1;
    if (start >= n)
        return true;

    int64_t weighted = 0;
    int64_t sum = 0;
    for (int64_t i = start; i < n && samples[static_cast<size_t>(i)] > half; ++i) {
        weighted += static_cast<int64_t>(samples[static_cast<size_t>(i)]) * i;
        sum += samples[static_cast<size_t>(i)];
    }
    if (sum > 0)
        counts = static_cast<int32_t>((step * weighted) / sum);
    return true;
}

void CompleteBandWavelengths(Bands& bands) {
    const int32_t lc = bands.low.counts;
    const int32_t mc = bands.middle.counts;
    const int32_t hc = bands.high.counts;
    // every difference uses the wavelengths as they stood on entry
    const int32_t lw = bands.low.wavelength;
    const int32_t mw = bands.middle.wavelength;
    const int32_t hw = bands.high.wavelength;

    // quotient of count differences first, then the product, then the sum
    if (lw == 0) {
        const int32_t divisor = Difference(hc, mc);
        if (divisor != 0) {
            const double q = static_cast<double>(Difference(hc, lc)) / divisor;
            MakeWhole(hw - q * Difference(hw, mw), bands.low.wavelength);
        }
    }
    const int32_t low = bands.low.wavelength;
    if (mw == 0) {
        const int32_t divisor = Difference(hc, lc);
        if (divisor != 0) {
            const double q = static_cast<double>(Difference(mc, lc)) / divisor;
            MakeWhole(q * Difference(hw, lw) + low, bands.middle.wavelength);
        }
    }
    if (hw == 0) {
        const int32_t divisor = Difference(mc, lc);
        if (divisor != 0) {
            const double q = static_cast<double>(Difference(hc, lc)) / divisor;
            MakeWhole(q * Difference(mw, lw) + low, bands.high.wavelength);
        }
    }
}

} // namespace CalibrationCore
