// Both calibration pages offscreen against a simulated controller that drops
// replies or answers garbage: the sweep stops with "Error in calibration" and
// the pages report the rest in their own words. (Hang-ups and babble are met
// on the main sheet, where the setup page can connect anew.)
#include "CalibrationPageFixture.h"
#include "SimFault.h"

#include "device/AdcLink.h"

#include <QPushButton>

#include <set>

namespace {

// 64 samples a sweep: 128 commands, quick on an unpaced line.
constexpr int pageSamples = 64;

class CalibrationPagesFault : public CalibrationPageTest {
protected:
    void StartSim(const SimOptions& options) {
        std::string error;
        sim = StartFaultySim(options, error);
        ASSERT_TRUE(sim) << error;
        ConnectTo(sim->SlavePath());
    }
    void TearDown() override {
        CalibrationPageTest::TearDown();
        sim.reset();
    }

    std::unique_ptr<SimServer> sim;
};

TEST_F(CalibrationPagesFault, EachDroppedReplyCostsOneTimeoutAndTheLinkStaysInStep) {
    SimOptions options;
    options.dropEvery = 3; // the page's first RC, then the RA of the first probe
    StartSim(options);
    ShowSheet(pageSamples, pageSamples);

    int64_t timeouts = AdcLink::ReadTimeoutCount();
    ASSERT_TRUE(sheet->SetActivePage(1)); // the retry after the pause reads it
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - timeouts, 1);
    EXPECT_TRUE(calibrate->IsModified());
    EXPECT_EQ(calibrate->highCounts, 4013);

    timeouts = AdcLink::ReadTimeoutCount();
    calibrate->ControlAs<QPushButton>(1008)->click();
    EXPECT_EQ(messages, std::vector<std::string>{"Error in calibration"});
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - timeouts, 1);
    EXPECT_EQ(calibrate->highCounts, 4013);

    // the next exchange gets its own reply, not a late one
    timeouts = AdcLink::ReadTimeoutCount();
    int32_t lw = 0, lc = 0, hw = 0, hc = 0;
    ASSERT_TRUE(AdcLink::ReadCalibration(lw, lc, hw, hc));
    EXPECT_EQ(lw * 10000 + lc, 250 * 10000 + 87);
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - timeouts, 0);
}

TEST_F(CalibrationPagesFault, GarbageRepliesAreReportedInThePagesWordsAndNothingCrashes) {
    SimOptions options;
    options.garbage = true;
    StartSim(options);
    ShowSheet(pageSamples, pageSamples);
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(calibrate->IsModified()); // garbage is no calibration

    const std::set<std::string> sweepWords = {"Error in calibration"};
    const std::set<std::string> applyWords = {"No answer", "ADC doesn't accept parameters!"};
    calibrate->ControlAs<QPushButton>(1007)->click();
    calibrate->ControlAs<QPushButton>(1008)->click();
    for (const std::string& message : messages)
        EXPECT_EQ(sweepWords.count(message), 1u) << message;
    messages.clear();
    EXPECT_TRUE(calibrate->OnApply());
    ASSERT_EQ(messages.size(), 1u); // never taken as accepted
    EXPECT_EQ(applyWords.count(messages[0]), 1u) << messages[0];

    messages.clear();
    ASSERT_TRUE(sheet->SetActivePage(2));
    triple->ControlAs<QPushButton>(1007)->click();
    for (const std::string& message : messages)
        EXPECT_EQ(sweepWords.count(message), 1u) << message;
    messages.clear();
    EXPECT_TRUE(triple->OnApply());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(applyWords.count(messages[0]), 1u) << messages[0];
}

} // namespace
