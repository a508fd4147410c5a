#include "calibration/core/PeakSweep.h"

#include "calibration/core/FakeProbe.h"

#include <gtest/gtest.h>

using namespace CalibrationCore;

namespace {

struct PeakCase {
    const char* name;
    int32_t n;
    std::map<int32_t, int32_t> readings;
    int32_t defaultReading; // every index not in readings
    int32_t expectedCounts;
};

} // namespace

TEST(SweepForPeak, WorkedExamples) {
    std::map<int32_t, int32_t> all100;
    for (int32_t i = 0; i < 1024; ++i)
        all100[i] = 100;
    std::map<int32_t, int32_t> narrow;
    PlaceRun(narrow, 100, {10, 20, 40, 20, 10});
    std::map<int32_t, int32_t> uneven; // the 20 is exactly half of 40: left out
    PlaceRun(uneven, 100, {10, 20, 40, 30, 10});
    std::map<int32_t, int32_t> twin;
    PlaceRun(twin, 10, {50, 0, 0, 0, 50});
    std::map<int32_t, int32_t> secondBand; // a far band above half pulls the centroid
    PlaceRun(secondBand, 100, {100});
    PlaceRun(secondBand, 200, {60});

    const PeakCase cases[] = {
        {"all 100: mean of every sampled count", 1024, all100, 0, 2046},
        {"all 0: index 0, nothing above half", 1024, {}, 0, 0},
        {"only the 40 lies above half", 1024, narrow, 0, 408},
        {"40 and 30 above half, 20 at it", 1024, uneven, 0, 4 * (102 * 40 + 103 * 30) / 70},
        {"equal maxima: both above half", 1024, twin, 0, 4 * 12},
        {"second band above half", 1024, secondBand, 0, 4 * (100 * 100 + 60 * 200) / 160},
    };
    for (const auto& c : cases) {
        FakeProbe probe;
        probe.step = SampleStep(c.n);
        probe.readingAt = c.readings;
        std::vector<int32_t> samples;
        int32_t target = -7;
        int progressCalls = 0;
        ASSERT_TRUE(
            SweepForPeak(c.n, samples, target, probe.Callback(),
                         [&](int32_t index, int32_t) { EXPECT_EQ(index, progressCalls++); }))
            << c.name;
        EXPECT_EQ(target, c.expectedCounts) << c.name;
        EXPECT_EQ(progressCalls, c.n) << c.name;
        ASSERT_EQ(samples.size(), static_cast<size_t>(c.n)) << c.name;
    }
}

TEST(SweepForPeak, ProbesTheGridInOrder) {
    FakeProbe probe;
    probe.step = 4;
    std::vector<int32_t> samples;
    int32_t target = 0;
    ASSERT_TRUE(SweepForPeak(1024, samples, target, probe.Callback()));
    ASSERT_EQ(probe.countsAsked.size(), 1024u);
    EXPECT_EQ(probe.countsAsked.front(), 0);
    EXPECT_EQ(probe.countsAsked[1], 4);
    EXPECT_EQ(probe.countsAsked.back(), 4092);
}

TEST(RawPeakIndex, FirstStrictlyGreatestPositiveReading) {
    const struct {
        std::vector<int32_t> readings;
        int32_t expected;
    } cases[] = {
        {{0, 5, 9, 9, 2}, 2}, // equal maxima: the first
        {{0, 0, 0}, 0},       // nothing positive
        {{-5, -1, -3}, 0},    // negatives never beat the start value 0
        {{-5, 0, -3}, 0},     // nor does a 0 equal to it
        {{3, 3, 1}, 0},       // the first sample can be the peak
        {{0, 0, 1, 0}, 2},    // a reading of 1 beats the start value
        {{1, 2, 3, 2, 3}, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RawPeakIndex(c.readings), c.expected);
}

TEST(SweepForPeak, ProbeFailureKeepsTargetAndOlderReadings) {
    const struct { int32_t failAt; } cases[] = {{0}, {500}};
    for (const auto& c : cases) {
        std::vector<int32_t> samples(1024, 7); // the previous sweep's readings
        FakeProbe probe;
        probe.step = 4;
        for (int32_t i = 0; i < 1024; ++i)
            probe.readingAt[i] = 1;
        probe.failAtCall = c.failAt;
        int32_t target = 1234;
        int progressCalls = 0;
        EXPECT_FALSE(SweepForPeak(1024, samples, target, probe.Callback(),
                                  [&](int32_t, int32_t) { ++progressCalls; }));
        EXPECT_EQ(target, 1234);
        EXPECT_EQ(progressCalls, c.failAt);
        for (int32_t i = 0; i < 1024; ++i)
            ASSERT_EQ(samples[static_cast<size_t>(i)], i < c.failAt ? 1 : 7) << i;
    }
}

TEST(SweepForPeak, AStopRequestEndsTheSweepBeforeTheNextProbe) {
    // Set by the progress of sample k: k + 1 probes. Set at the last sample:
    // there is no next probe, and the sweep completes.
    const struct {
        int32_t stopAt;
        size_t probes;
        bool completes;
    } cases[] = {{0, 1, false}, {9, 10, false}, {15, 16, true}};
    for (const auto& c : cases) {
        FakeProbe probe;
        probe.step = 256;
        probe.readingAt[3] = 50;
        std::vector<int32_t> samples;
        int32_t target = 1234;
        StopRequest stop{false};
        const bool swept = SweepForPeak(
            16, samples, target, probe.Callback(),
            [&](int32_t index, int32_t) { stop = stop || index == c.stopAt; }, &stop);
        EXPECT_EQ(swept, c.completes) << c.stopAt;
        EXPECT_EQ(probe.countsAsked.size(), c.probes) << c.stopAt;
        EXPECT_EQ(target, c.completes ? 768 : 1234) << c.stopAt;
    }
}

TEST(SweepForPeak, MoreThan4096SamplesSweepsEveryCountOnce) {
    FakeProbe probe;
    probe.step = 1;
    PlaceRun(probe.readingAt, 1000, {50, 100, 50});
    std::vector<int32_t> samples;
    int32_t target = 0;
    ASSERT_TRUE(SweepForPeak(6000, samples, target, probe.Callback()));
    EXPECT_EQ(probe.countsAsked.size(), 4096u);
    EXPECT_EQ(probe.countsAsked.back(), 4095);
    EXPECT_EQ(samples.size(), 4096u);
    EXPECT_EQ(target, 1001);
}

TEST(CentroidAboveHalf, LeavesCountsOnlyWhenNothingCounts) {
    std::vector<int32_t> samples(16, 0);
    int32_t counts = 512;
    EXPECT_FALSE(CentroidAboveHalf(samples, 16, counts));
    EXPECT_EQ(counts, 512);
    counts = 16 * 256; // off the grid held
    EXPECT_FALSE(CentroidAboveHalf(samples, 16, counts));
    EXPECT_EQ(counts, 16 * 256);
    samples[0] = 100; // below the grid: -1 is no index 0, whatever index 0 holds
    counts = -1;
    EXPECT_FALSE(CentroidAboveHalf(samples, 16, counts));
    EXPECT_EQ(counts, -1);
    samples[0] = 0;
    samples[3] = 1; // a sum of 1 above the half of the 0 at 512 still counts
    counts = 512;
    EXPECT_TRUE(CentroidAboveHalf(samples, 16, counts));
    EXPECT_EQ(counts, 3 * 256);
}

TEST(CentroidAboveHalf, LargeReadingsDoNotOverflow) {
    // 4096 readings near the 32-bit limit: the sums need 64 bits
    std::vector<int32_t> samples(4096, 2000000000);
    int32_t counts = 0;
    ASSERT_TRUE(CentroidAboveHalf(samples, 4096, counts));
    EXPECT_EQ(counts, 2047); // mean of 0..4095, truncated
}
