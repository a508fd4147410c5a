// Both calibration pages against the simulated controller: the counts a sweep
// finds must give back the filter's wavelength through the simulator's optics.
#include "calibration/CalibrationPageFixture.h"

#include "calibration/plot/SweepPlot.h"
#include "device/AdcLink.h"
#include "sim/SimOptics.h"
#include "sim/SimServer.h"

#include <QPushButton>

#include <cmath>
#include <memory>

namespace {

class PagesAgainstSim : public CalibrationPageTest {
protected:
    void StartSim() {
        SimOptions options;
        options.noiseSigma = 0;
        sim = std::make_unique<SimServer>(options);
        std::string error;
        ASSERT_TRUE(sim->Start(error)) << error;
        ConnectTo(sim->SlavePath());
    }
    // Puts a filter into the simulated beam, as the terminal page would.
    void InsertFilter(const std::string& command) {
        ASSERT_TRUE(AdcLink::SendCommand(command + "\r\n"));
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

TEST_F(PagesAgainstSim, RunFirstFindsASingleBandFilter) {
    StartSim();
    InsertFilter("SF,450;");
    ShowSheet(1024, 256);
    ASSERT_TRUE(sheet->SetActivePage(1));
    EXPECT_TRUE(calibrate->IsModified()); // the simulator's calibration was read

    calibrate->ControlAs<QPushButton>(1007)->click();

    ASSERT_TRUE(messages.empty()) << messages[0];
    EXPECT_NEAR(SimOptics::TrueWavelength(calibrate->lowCounts), 450.0, 2.0)
        << calibrate->lowCounts;
    EXPECT_EQ(calibrate->Plot()->Readings().size(), 1024u);

    InsertFilter("SF,620;");
    calibrate->ControlAs<QPushButton>(1008)->click();
    EXPECT_NEAR(SimOptics::TrueWavelength(calibrate->highCounts), 620.0, 2.0)
        << calibrate->highCounts;
    EXPECT_NEAR(SimOptics::TrueWavelength(calibrate->lowCounts), 450.0, 2.0);
}

TEST_F(PagesAgainstSim, OneRunFindsThreeBandsAndCompletesTheMiddleWavelength) {
    StartSim();
    InsertFilter("SF,340,425,510;");
    ShowSheet(1024, 256);
    ASSERT_TRUE(sheet->SetActivePage(2));
    Type(*triple, 1017, "340");
    Type(*triple, 1018, "510");

    triple->ControlAs<QPushButton>(1007)->click();

    ASSERT_TRUE(messages.empty()) << messages[0];
    EXPECT_NEAR(SimOptics::TrueWavelength(triple->lowCounts), 340.0, 3.0) << triple->lowCounts;
    EXPECT_NEAR(SimOptics::TrueWavelength(triple->middleCounts), 425.0, 3.0)
        << triple->middleCounts;
    EXPECT_NEAR(SimOptics::TrueWavelength(triple->highCounts), 510.0, 3.0) << triple->highCounts;
    // completed on the straight line through low and high; the source bows 3 nm at most
    EXPECT_NEAR(triple->middleWavelength, 425, 4);
    EXPECT_EQ(Text(*triple, 1021), std::to_string(triple->middleWavelength));
    EXPECT_GT(triple->middleIntensity, triple->lowIntensity / 4);
    EXPECT_EQ(triple->Plot()->Markers().size(), 3u);

    // the low and high bands become the controller's calibration
    EXPECT_TRUE(triple->OnApply());
    EXPECT_TRUE(messages.empty());
    int32_t lw = 0, lc = 0, hw = 0, hc = 0;
    ASSERT_TRUE(AdcLink::ReadCalibration(lw, lc, hw, hc));
    EXPECT_EQ(lw, 340);
    EXPECT_EQ(lc, triple->lowCounts);
    EXPECT_EQ(hw, 510);
    EXPECT_EQ(hc, triple->highCounts);
}

} // namespace
