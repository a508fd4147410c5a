#include "calibration/SampleCount.h"

int32_t NormaliseSampleCount(int32_t stored) {
    int32_t count = stored;
    if (count % 2 != 0)
        --count;
    if (count < 16)
        count = 16;
    return count;
}
