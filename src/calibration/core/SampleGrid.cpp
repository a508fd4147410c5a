#include "calibration/core/SampleGrid.h"

#include <algorithm>

namespace CalibrationCore {

int32_t NormaliseSampleCount(int32_t stored) {
    int32_t n = stored;
    if (n % 2 != 0)
        n -= 1; // -3 % 2 is -1 in C++, so negative odd values drop too
    if (n < 16)
        n = 16;
    return n;
}

int32_t SweepSampleCount(int32_t sampleCount) {
    return std::clamp<int32_t>(sampleCount, 1, countsRange);
}

int32_t SampleStep(int32_t sampleCount) {
    return countsRange / SweepSampleCount(sampleCount);
}

} // namespace CalibrationCore
