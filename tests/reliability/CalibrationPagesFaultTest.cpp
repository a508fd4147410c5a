// Both calibration pages offscreen against a simulated controller that hangs
// up, drops replies, answers garbage or babbles: the sweep stops with "Error
// in calibration", the page stays usable, and a new link brings it back.
#include "CalibrationPageFixture.h"
#include "SimFault.h"

#include "calibration/SweepPlot.h"
#include "device/AdcLink.h"
#include "sim/SimOptics.h"

#include <QProgressBar>
#include <QPushButton>

#include <set>

namespace {

// Samples a sweep: 128 and 512 commands, quick on an unpaced line. The band
// search needs its default resolution to tell narrow bands apart.
constexpr int pageSamples = 64;
constexpr int bandSamples = 256;
// RC,1 and RS of the handshake, then RC when a calibration page is shown.
constexpr int firstProbeCommand = handshakeCommands + 2;

class CalibrationPagesFault : public CalibrationPageTest {
protected:
    void StartSim(const SimOptions& options) {
        std::string error;
        sim = StartFaultySim(options, error);
        ASSERT_TRUE(sim) << error;
        ConnectTo(sim->SlavePath());
    }
    // Disconnect, then connect to a working controller with a filter in its beam.
    void Reconnect(const std::string& filterCommand) {
        AdcLink::ClosePort();
        StartSim(SimOptions());
        ASSERT_TRUE(AdcLink::SendCommand(filterCommand + "\r\n"));
        std::string reply;
        ASSERT_TRUE(AdcLink::ReadReply(reply));
        ASSERT_EQ(reply, "SF,0!");
    }
    void TearDown() override {
        CalibrationPageTest::TearDown();
        sim.reset();
    }

    std::unique_ptr<SimServer> sim;
};

TEST_F(CalibrationPagesFault, AHangUpInTheTwoPointSweepStopsItAndANewLinkWorks) {
    SimOptions options;
    options.hangUpAfter = firstProbeCommand + 10; // the reply to the 6th probe's WA
    StartSim(options);
    ShowSheet(pageSamples, pageSamples);
    ASSERT_TRUE(sheet->SetActivePage(1));
    ASSERT_EQ(calibrate->lowCounts, 87);

    const int64_t timeouts = AdcLink::ReadTimeoutCount();
    calibrate->ControlAs<QPushButton>(1007)->click();
    ASSERT_EQ(messages, std::vector<std::string>{"Error in calibration"});
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - timeouts, 0); // the hang-up is seen, not waited out
    EXPECT_EQ(calibrate->lowCounts, 87);
    EXPECT_EQ(Text(*calibrate, 1019), "87");
    EXPECT_EQ(calibrate->progressBar->value(), 0);
    EXPECT_GT(calibrate->samples[4], 1000); // open beam up to the failed probe

    // the sheet goes on: tabs change, a dead line reads as no calibration
    messages.clear();
    ASSERT_TRUE(sheet->SetActivePage(2));
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(calibrate->lowCounts, 0);
    EXPECT_FALSE(calibrate->IsModified());

    Reconnect("SF,450;");
    ASSERT_TRUE(sheet->SetActivePage(2));
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_TRUE(calibrate->IsModified());
    calibrate->ControlAs<QPushButton>(1007)->click();
    EXPECT_TRUE(messages.empty()) << messages[0];
    EXPECT_NEAR(SimOptics::TrueWavelength(calibrate->lowCounts), 450.0, 8.0);
}

TEST_F(CalibrationPagesFault, AHangUpInTheThreeBandSweepStopsItAndANewLinkWorks) {
    SimOptions options;
    options.hangUpAfter = firstProbeCommand + 10;
    StartSim(options);
    ShowSheet(pageSamples, bandSamples);
    ASSERT_TRUE(sheet->SetActivePage(2));
    Type(*triple, 1017, "340");
    Type(*triple, 1018, "510");

    triple->ControlAs<QPushButton>(1007)->click();
    ASSERT_EQ(messages, std::vector<std::string>{"Error in calibration"});
    EXPECT_EQ(triple->samples.size(), 5u); // the readings taken before the line dropped
    EXPECT_EQ(triple->lowCounts, 87);      // the band fields as they were
    EXPECT_EQ(triple->lowWavelength, 340);
    EXPECT_EQ(triple->middleCounts, 0);
    EXPECT_EQ(triple->progressBar->value(), 0);

    messages.clear();
    Reconnect("SF,340,425,510;");
    ASSERT_TRUE(sheet->SetActivePage(1));
    ASSERT_TRUE(sheet->SetActivePage(2));
    Type(*triple, 1017, "340");
    Type(*triple, 1018, "510");
    triple->ControlAs<QPushButton>(1007)->click();
    EXPECT_TRUE(messages.empty()) << messages[0];
    EXPECT_EQ(triple->Plot()->Markers().size(), 3u);
    EXPECT_NEAR(SimOptics::TrueWavelength(triple->middleCounts), 425.0, 8.0);
}

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

TEST_F(CalibrationPagesFault, ABabblingControllerEndsTheSweepAtTheLineCap) {
    SimOptions options;
    options.babble = true; // RC,1 is answered, then no line ever ends
    StartSim(options);
    ShowSheet(pageSamples, pageSamples);
    const int64_t timeouts = AdcLink::ReadTimeoutCount();
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_FALSE(calibrate->IsModified());
    calibrate->ControlAs<QPushButton>(1007)->click();
    EXPECT_EQ(messages, std::vector<std::string>{"Error in calibration"});
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - timeouts, 0); // every read ended at the cap
    EXPECT_EQ(calibrate->progressBar->value(), 0);
}

} // namespace
