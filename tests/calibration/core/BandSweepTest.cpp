#include "calibration/core/BandSweep.h"
#include "calibration/core/CalibrationLine.h"

#include "calibration/core/FakeProbe.h"

#include <gtest/gtest.h>

using namespace CalibrationCore;

namespace {

// A band that rises and falls linearly over 5 samples on each side.
void PlaceTriangle(std::map<int32_t, int32_t>& readings, int32_t peakIndex, int32_t peak) {
    for (int32_t d = -4; d <= 4; ++d)
        readings[peakIndex + d] = peak * (5 - (d < 0 ? -d : d)) / 5;
}

struct BandCase {
    const char* name;
    std::map<int32_t, int32_t> readings;
    Band low, middle, high; // expected counts and intensity
    int32_t n = 256;        // samples: step 16, a band closes after more than 2 changes
};

// Readings 1, 2, 3 ... (or 2, 4, 6 ...) up to top and down again: every rise is by.
void PlaceRamp(std::map<int32_t, int32_t>& readings, int32_t first, int32_t by, int32_t top) {
    int32_t i = first;
    for (int32_t r = by; r <= top; r += by)
        readings[i++] = r;
    for (int32_t r = top - by; r > 0; r -= by)
        readings[i++] = r;
}

} // namespace

TEST(SweepForBands, WorkedExamples) {
    std::map<int32_t, int32_t> three;
    PlaceTriangle(three, 40, 100);
    PlaceTriangle(three, 120, 200);
    PlaceTriangle(three, 200, 150);
    std::map<int32_t, int32_t> weakFirst;
    PlaceTriangle(weakFirst, 40, 15);
    PlaceTriangle(weakFirst, 120, 200);
    PlaceTriangle(weakFirst, 200, 150);
    std::map<int32_t, int32_t> merged;
    PlaceRun(merged, 50, {100, 60, 120});
    std::map<int32_t, int32_t> split;
    PlaceRun(split, 50, {100, 60, 50, 120});
    std::map<int32_t, int32_t> refined;
    PlaceRun(refined, 36, {10, 30, 60, 90, 100, 30, 5});
    // a first band of peak 20 or 21 falling in four changes, then a band of 100
    std::map<int32_t, int32_t> peak20, peak21;
    PlaceRun(peak20, 40, {20, 15, 10, 5});
    PlaceTriangle(peak20, 120, 100);
    PlaceRun(peak21, 40, {21, 15, 10, 5});
    PlaceTriangle(peak21, 120, 100);
    // after a band of 100, a ramp that rises by 1 or by 2 at each sample
    std::map<int32_t, int32_t> rampBy1, rampBy2;
    PlaceTriangle(rampBy1, 40, 100);
    PlaceRamp(rampBy1, 100, 1, 30);
    PlaceTriangle(rampBy2, 40, 100);
    PlaceRamp(rampBy2, 100, 2, 30);
    // a peak followed by a lower reading and one 1 or 2 above the peak
    std::map<int32_t, int32_t> wiggle1, wiggle2;
    PlaceRun(wiggle1, 38, {30, 60, 100, 99, 101, 60, 30});
    PlaceRun(wiggle2, 38, {30, 60, 100, 99, 102, 60, 30});
    std::map<int32_t, int32_t> loneOne;
    PlaceRun(loneOne, 60, {1});
    // five bands rising from the third on: the fourth and fifth stay in slot 3
    std::map<int32_t, int32_t> five;
    PlaceTriangle(five, 30, 100);
    PlaceTriangle(five, 80, 200);
    PlaceTriangle(five, 130, 150);
    PlaceTriangle(five, 180, 250);
    PlaceTriangle(five, 230, 300);
    // N = 1024 (step 4): a second maximum after 8 changes stays in the band, after 9 it opens one
    std::map<int32_t, int32_t> eightChanges, nineChanges;
    PlaceRun(eightChanges, 100, {100, 90, 80, 70, 60, 50, 40, 30, 120});
    PlaceRun(nineChanges, 100, {100, 90, 80, 70, 60, 50, 40, 30, 20, 120});

    const BandCase cases[] = {
        {"three bands", three, {640, 0, 100}, {1920, 0, 200}, {3200, 0, 150}},
        {"first band too weak to close", weakFirst, {1920, 0, 200}, {3200, 0, 150}, {0, 0, 0}},
        // one band with its peak 120 at 52; 60 is not above half, so the run is 52 alone
        {"100,60,120 stays one band", merged, {16 * 52, 0, 120}, {0, 0, 0}, {0, 0, 0}},
        // bands at 50 and 53; the low run is 50..51 (60 > 50)
        {"100,60,50,120 splits",
         split,
         {16 * (50 * 100 + 51 * 60) / 160, 0, 100},
         {16 * 53, 0, 120},
         {0, 0, 0}},
        {"peak run refinement", refined, {626, 0, 100}, {0, 0, 0}, {0, 0, 0}},
        {"a peak of 20 closes no band", peak20, {1920, 0, 100}, {0, 0, 0}, {0, 0, 0}},
        {"a peak of 21 closes its band",
         peak21,
         {16 * (40 * 21 + 41 * 15) / 36, 0, 21},
         {1920, 0, 100},
         {0, 0, 0}},
        {"rises of 1 open no band", rampBy1, {640, 0, 100}, {0, 0, 0}, {0, 0, 0}},
        {"a rise of 2 opens one", rampBy2, {640, 0, 100}, {16 * 114, 0, 30}, {0, 0, 0}},
        {"1 above the peak does not move it",
         wiggle1,
         {16 * (39 * 60 + 40 * 100 + 41 * 99 + 42 * 101 + 43 * 60) / 420, 0, 100},
         {0, 0, 0},
         {0, 0, 0}},
        {"2 above the peak moves it",
         wiggle2,
         {16 * (39 * 60 + 40 * 100 + 41 * 99 + 42 * 102 + 43 * 60) / 421, 0, 102},
         {0, 0, 0},
         {0, 0, 0}},
        {"a lone reading of 1 is no peak", loneOne, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {"five bands: three shown", five, {480, 0, 100}, {1280, 0, 200}, {2080, 0, 150}},
        {"N 1024: 8 changes keep one band", eightChanges, {4 * 108, 0, 120}, {}, {}, 1024},
        {"N 1024: 9 changes open the next",
         nineChanges,
         {4 * (100 * 100 + 101 * 90 + 102 * 80 + 103 * 70 + 104 * 60) / 400, 0, 100},
         {4 * 109, 0, 120},
         {},
         1024},
    };
    for (const auto& c : cases) {
        FakeProbe probe;
        probe.step = SampleStep(c.n);
        probe.readingAt = c.readings;
        std::vector<int32_t> samples{1, 2, 3}; // emptied by the sweep
        Bands bands;
        bands.low.wavelength = 340;
        bands.middle.wavelength = 425;
        bands.high.wavelength = 510;
        ASSERT_TRUE(SweepForBands(c.n, samples, bands, probe.Callback())) << c.name;
        EXPECT_EQ(samples.size(), static_cast<size_t>(c.n)) << c.name;
        EXPECT_EQ(bands.low.counts, c.low.counts) << c.name;
        EXPECT_EQ(bands.low.intensity, c.low.intensity) << c.name;
        EXPECT_EQ(bands.middle.counts, c.middle.counts) << c.name;
        EXPECT_EQ(bands.middle.intensity, c.middle.intensity) << c.name;
        EXPECT_EQ(bands.high.counts, c.high.counts) << c.name;
        EXPECT_EQ(bands.high.intensity, c.high.intensity) << c.name;
        EXPECT_EQ(bands.middle.wavelength, 425) << c.name; // none was 0: unchanged
    }
}

TEST(SweepForBands, CompletesTheMiddleWavelength) {
    FakeProbe probe;
    probe.step = 16;
    PlaceTriangle(probe.readingAt, 40, 100);
    PlaceTriangle(probe.readingAt, 120, 200);
    PlaceTriangle(probe.readingAt, 200, 150);
    std::vector<int32_t> samples;
    Bands bands;
    bands.low.wavelength = 340;
    bands.high.wavelength = 510;
    int progressCalls = 0;
    ASSERT_TRUE(
        SweepForBands(256, samples, bands, probe.Callback(), [&](int32_t index, int32_t reading) {
            EXPECT_EQ(index, progressCalls++);
            EXPECT_EQ(reading, samples.back());
        }));
    EXPECT_EQ(progressCalls, 256);
    EXPECT_EQ(bands.middle.wavelength, 425);
}

TEST(SweepForBands, ProbeFailureKeepsBandsAndReadingsTaken) {
    for (int32_t failAt : {0, 130}) {
        FakeProbe probe;
        probe.step = 16;
        PlaceTriangle(probe.readingAt, 40, 100);
        probe.failAtCall = failAt;
        std::vector<int32_t> samples(256, 9);
        Bands bands;
        bands.low = {111, 222, 333};
        EXPECT_FALSE(SweepForBands(256, samples, bands, probe.Callback()));
        EXPECT_EQ(samples.size(), static_cast<size_t>(failAt));
        EXPECT_EQ(bands.low.counts, 111);
        EXPECT_EQ(bands.low.wavelength, 222);
        EXPECT_EQ(bands.low.intensity, 333);
        EXPECT_EQ(bands.middle.counts, 0);
    }
}

TEST(SweepForBands, AStopRequestEndsTheSweepBeforeTheNextProbe) {
    FakeProbe probe;
    probe.step = 16;
    PlaceTriangle(probe.readingAt, 40, 100);
    std::vector<int32_t> samples;
    Bands bands;
    bands.low = {111, 222, 333};
    StopRequest stop{false};
    EXPECT_FALSE(SweepForBands(
        256, samples, bands, probe.Callback(), [&](int32_t index, int32_t) { stop = index == 41; },
        &stop));
    EXPECT_EQ(probe.countsAsked.size(), 42u);
    EXPECT_EQ(samples.size(), 42u);
    EXPECT_EQ(bands.low.counts, 111);
}

TEST(CentroidOfPeakRun, WalkRules) {
    std::vector<int32_t> step1(4096, 0); // more than 2048 readings: step 1
    step1[1000] = 60;
    step1[1001] = 100;
    const struct {
        const char* name;
        std::vector<int32_t> readings;
        int32_t counts;   // in
        int32_t expected; // out
    } cases[] = {
        {"4096 readings", step1, 1001, (1000 * 60 + 1001 * 100) / 160},
        // 16 readings, step 256
        {"peak at 0 joins its run",
         {100, 80, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         0,
         256 * 80 / 180},
        {"walk down never takes index 0",
         {100, 100, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         512,
         256 * 3 / 2},
        {"k of 1 starts at 1", {90, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 256, 256},
        {"run up to the last sample",
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 60, 100},
         15 * 256,
         256 * (14 * 60 + 15 * 100) / 160},
        {"zero peak: nothing above half", std::vector<int32_t>(16, 0), 512, 512},
        {"off the grid", std::vector<int32_t>(16, 5), 16 * 256, 16 * 256},
        {"below the grid", {100, 80, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, -1, -1},
        {"more readings than counts: no step", std::vector<int32_t>(4097, 5), 100, 100},
    };
    for (const auto& c : cases) {
        int32_t counts = c.counts;
        EXPECT_TRUE(CentroidOfPeakRun(c.readings, counts)) << c.name;
        EXPECT_EQ(counts, c.expected) << c.name;
    }
    int32_t counts = 77;
    EXPECT_TRUE(CentroidOfPeakRun({}, counts)); // no readings: n is 1, index 0 is missing
    EXPECT_EQ(counts, 77);
}

TEST(CompleteBandWavelengths, LineThroughTheOtherTwoBands) {
    const struct {
        const char* name;
        int32_t lc, mc, hc;
        int32_t lw, mw, hw;
        int32_t expectLw, expectMw, expectHw;
    } cases[] = {
        {"middle, 425.5 truncated", 640, 1920, 3200, 340, 0, 510, 340, 425, 510},
        {"low", 640, 1920, 3200, 0, 425, 510, 340, 425, 510},
        {"high", 640, 1920, 3200, 340, 425, 0, 340, 425, 510},
        {"middle at 1900", 640, 1900, 3200, 340, 0, 510, 340, 424, 510},
        {"zero divisor leaves 0", 640, 3200, 3200, 0, 425, 510, 0, 425, 510},
        {"nothing to complete", 640, 1920, 3200, 300, 400, 500, 300, 400, 500},
        // low first, then the middle from the new low and the old differences:
        // low = 510 - (2560/1280)*(510-0) = -510 -> -509.5 truncates to -509;
        // middle = 0.5*(510-0) + -509 = -254 -> -253.5 truncates to -253
        {"low and middle both 0", 640, 1920, 3200, 0, 0, 510, -509, -253, 510},
    };
    for (const auto& c : cases) {
        Bands bands;
        bands.low = {c.lc, c.lw, 0};
        bands.middle = {c.mc, c.mw, 0};
        bands.high = {c.hc, c.hw, 0};
        CompleteBandWavelengths(bands);
        EXPECT_EQ(bands.low.wavelength, c.expectLw) << c.name;
        EXPECT_EQ(bands.middle.wavelength, c.expectMw) << c.name;
        EXPECT_EQ(bands.high.wavelength, c.expectHw) << c.name;
        EXPECT_EQ(bands.middle.counts, c.mc) << c.name;
    }
}

TEST(CalibrationLine, TwoPointsDefineALineUnlessEqualOrZero) {
    const struct {
        int32_t lw, lc, hw, hc;
        bool defined;
    } cases[] = {
        {250, 87, 690, 4013, true},    {690, 87, 250, 4013, true},    {400, 2000, 600, 2001, true},
        {400, 2000, 600, 2000, false}, {400, 1000, 400, 3000, false}, {0, 1000, 600, 3000, false},
        {400, 0, 600, 3000, false},    {400, 1000, 0, 3000, false},   {400, 1000, 600, 0, false},
    };
    for (const auto& c : cases) {
        const auto line = LineThrough(c.lw, c.lc, c.hw, c.hc);
        EXPECT_EQ(line.has_value(), c.defined) << c.lw << " " << c.lc << " " << c.hw << " " << c.hc;
        if (line) {
            EXPECT_DOUBLE_EQ(line->WavelengthAt(c.hc), c.hw);
        }
    }
    // one point moved by one: another line
    const auto line = LineThrough(250, 87, 690, 4013);
    EXPECT_TRUE(line == LineThrough(250, 87, 690, 4013));
    for (const auto& moved : {LineThrough(251, 87, 690, 4013), LineThrough(250, 88, 690, 4013),
                              LineThrough(250, 87, 691, 4013), LineThrough(250, 87, 690, 4014)})
        EXPECT_FALSE(line == moved);
}

TEST(MiddleBandLinearity, FiguresRoundedHalfAwayFromZeroAndWhenUnavailable) {
    // 1000 counts / 400 nm to 2600 / 600: 8 counts a nm; to 1100 / 600: 2 nm a count
    const struct {
        const char* name;
        Band middle; // counts, wavelength, intensity
        int32_t highCounts;
        bool typed;
        std::string figures;
    } cases[] = {
        {"the example: 8.8 counts a nm", {1858, 500, 50}, 2760, true, "+2.5 -22"},
        {"500.25 nm at 1802", {1802, 500, 50}, 2600, true, "-0.3 +2"},
        {"on the line", {1800, 500, 50}, 2600, true, "0.0 0"},
        {"1050.5 counts at 501 nm", {1050, 501, 50}, 1100, true, "+1.0 -1"},
        {"1050.5 counts, from above", {1051, 501, 50}, 1100, true, "-1.0 +1"},
        {"not all typed", {1802, 500, 50}, 2600, false, "unavailable"},
        {"middle wavelength 0", {1802, 0, 50}, 2600, true, "unavailable"},
        {"middle found nothing", {0, 500, 0}, 2600, true, "unavailable"},
        {"middle at counts 0, reading 1", {0, 500, 1}, 2600, true, "+225.0 -1800"},
        {"high found nothing", {1802, 500, 50}, 0, true, "unavailable"},
    };
    for (const auto& c : cases) {
        const Bands bands{
            {1000, 400, 50}, c.middle, {c.highCounts, 600, c.highCounts == 0 ? 0 : 50}};
        EXPECT_EQ(LinearityFigures(MiddleBandLinearity(bands, c.typed)), c.figures) << c.name;
    }
    EXPECT_EQ(LinearityText({25, -22}), "middle band +2.5 nm / \u2212"
                                        "22 counts off the low\u2013high line");
    EXPECT_EQ(LinearityText({-3, 2}), "middle band \u2212"
                                      "0.3 nm / +2 counts off the low\u2013high line");
    EXPECT_EQ(LinearityText({0, 0}), "middle band 0.0 nm / 0 counts off the low\u2013high line");
    EXPECT_EQ(LinearityText({1, 1}), "middle band +0.1 nm / +1 counts off the low\u2013high line");
}
