#pragma once

#include <cstdint>

// The number of samples of a calibration sweep as stored in the settings: an odd
// count loses one (negative counts included), then anything below 16 becomes 16.
int32_t NormaliseSampleCount(int32_t stored);
