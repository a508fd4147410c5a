#include "calibration/core/SampleGrid.h"

#include <gtest/gtest.h>

using namespace CalibrationCore;

TEST(SampleGrid, NormalisesStoredValues) {
    const struct {
        int32_t stored;
        int32_t expected;
    } cases[] = {{1025, 1024}, {15, 16}, {0, 16},      {-3, 16},     {7, 16},     {2000, 2000},
                 {16, 16},     {17, 16}, {5000, 5000}, {5001, 5000}, {1024, 1024}};
    for (const auto& c : cases)
        EXPECT_EQ(NormaliseSampleCount(c.stored), c.expected) << c.stored;
}

TEST(SampleGrid, StepAndSweepBound) {
    const struct {
        int32_t n;
        int32_t sweepCount;
        int32_t step;
    } cases[] = {{1024, 1024, 4}, {1000, 1000, 4}, {256, 256, 16}, {4096, 4096, 1}, {5000, 4096, 1},
                 {16, 16, 256},   {1, 1, 4096},    {0, 1, 4096},   {-5, 1, 4096}}; // at least 1: no
                                                                                   // step of 0
    for (const auto& c : cases) {
        EXPECT_EQ(SweepSampleCount(c.n), c.sweepCount) << c.n;
        EXPECT_EQ(SampleStep(c.n), c.step) << c.n;
    }
}
