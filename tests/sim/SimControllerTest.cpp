#include "sim/SimController.h"
#include "sim/SimOptics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

SimOptions Quiet() {
    SimOptions options;
    options.noiseSigma = 0.0;
    return options;
}

std::string Send(SimController& sim, const std::string& line) {
    return sim.Respond(line).bytes;
}

struct Exchange {
    const char* command;
    const char* reply; // without CR LF
};

void RunScript(SimController& sim, const std::vector<Exchange>& script) {
    for (const Exchange& e : script)
        EXPECT_EQ(Send(sim, std::string(e.command) + "\r\n"), std::string(e.reply) + "\r\n")
            << "command " << e.command;
}

TEST(SimController, AnswersEveryCommandOfTheProgramWithItsDefaults) {
    SimController sim(Quiet());
    RunScript(sim, {
                       {"ID;", "ADC-SIM 1.0"},
                       {"RC,1;", "(240,699)"},
                       {"RS;", "RS,0!"},
                       {"RP;", "30,200,200,4540,240,340,380"},
                       {"RC;", "250,87,690,4013"},
                       {"WL,340;", "WL,0!"},
                       {"WL,240;", "WL,0!"},
                       {"WL,699;", "WL,0!"},
                       {"WL,239;", "WL,1!"},
                       {"WL,700;", "WL,1!"},
                       {"WL,1000;", "WL,1!"},
                       {"WL,0;", "WL,1!"},
                       {"WA,1,2048;", "WA,0!"},
                       {"SF;", "SF,0!"},
                       {"SF,500;", "SF,0!"},
                       {"SF,300,450,600;", "SF,0!"},
                       {"XX;", "??"},
                       {"ID,1;", "??"},
                       {"RC,2;", "??"},
                       {"RA,2;", "??"},
                       {"RP,1;", "??"},
                       {"WL;", "WL,1!"},
                       {"WL,abc;", "WL,1!"},
                       {"WL,340,1;", "WL,1!"},
                       {"WL,99999999999;", "WL,1!"},
                       {"WA,2,100;", "WA,1!"},
                       {"WA,1;", "WA,1!"},
                       {"SF,1,2;", "SF,1!"},
                       {"SF,0;", "SF,1!"},
                   });
}

TEST(SimController, DefinesAndReadsBackProtocols) {
    SimController sim(Quiet());
    RunScript(sim, {
                       {"PD,30,2000,500,240,340;", "PD,0!"},
                       {"RP;", "30,2000,0,500,240,340,0"},
                       {"PD,30,2000,2000,500,240,340,380;", "PD,0!"},
                       {"RP;", "30,2000,2000,500,240,340,380"},
                       // Each refusal leaves the stored protocol alone.
                       {"PD,29,2000,500,240,340;", "PD,1!"},        // dead time below 3 ms
                       {"PD,30,29,500,240,340;", "PD,1!"},          // it1 below 3 ms
                       {"PD,30,2000,29,500,240,340,380;", "PD,1!"}, // it2 below 3 ms
                       {"PD,30,2000,29,240,340;", "PD,1!"},         // resting time below 3 ms
                       {"PD,30,2000,500,239,340;", "PD,1!"},        // wl0 out of range
                       {"PD,30,2000,500,240,700;", "PD,1!"},        // wl1 out of range
                       {"PD,30,2000,2000,500,240,340,0;", "PD,1!"}, // wl2 out of range
                       {"PD,30,2000,500,240;", "PD,1!"},            // four numbers
                       {"PD,30,2000,2000,500,240,340;", "PD,1!"},   // six numbers
                       {"PD,30,2000,x,240,340;", "PD,1!"},
                       {"RP;", "30,2000,2000,500,240,340,380"},
                   });
}

TEST(SimController, StoresCalibrationsAndTheRangeFollows) {
    SimController sim(Quiet());
    RunScript(sim, {
                       {"WC,300,0,600,4095;", "WC,0!"},
                       {"RC;", "300,0,600,4095"},
                       {"RC,1;", "(300,600)"},
                       {"WL,299;", "WL,1!"},
                       {"WL,450;", "WL,0!"},
                       // Refused: counts out of 0..4095, equal wavelengths, equal counts, arity.
                       {"WC,300,-1,600,4095;", "WC,1!"},
                       {"WC,300,0,600,4096;", "WC,1!"},
                       {"WC,300,0,300,4095;", "WC,1!"},
                       {"WC,300,100,600,100;", "WC,1!"},
                       {"WC,300,0,600;", "WC,1!"},
                       {"RC;", "300,0,600,4095"},
                       // A falling calibration still reports the lower end first.
                       {"WC,600,0,300,4095;", "WC,0!"},
                       {"RC,1;", "(300,600)"},
                       {"WL,400;", "WL,0!"},
                       // A steep calibration whose range overflows 32 bits is clamped.
                       {"WC,-2000000000,0,2000000000,1;", "WC,0!"},
                       {"RC,1;", "(-2000000000,2147483647)"},
                   });
    EXPECT_EQ(sim.Counts(), 2730); // WL,400: 200 of 300 nm along the falling line
}

TEST(SimController, WavelengthMovesTheCountsThroughTheStoredCalibration) {
    SimController sim(Quiet());
    Send(sim, "WC,300,1000,500,3000;");
    Send(sim, "WL,400;");
    EXPECT_EQ(sim.Counts(), 2000);
    Send(sim, "WA,1,-5;");
    EXPECT_EQ(sim.Counts(), 0);
    Send(sim, "WA,1,5000;");
    EXPECT_EQ(sim.Counts(), 4095);
}

TEST(SimController, RangeProbeModeAnswersTheTwoProbesWithOneNumber) {
    SimOptions options = Quiet();
    options.rangeProbe = true;
    SimController sim(options);
    RunScript(sim, {
                       {"RC,1;", "RC,1!"},
                       {"WL,1000;", "699"},
                       {"WL,0;", "240"},
                       {"WL,340;", "WL,0!"},
                       {"WL,999;", "WL,1!"},
                       {"RC;", "250,87,690,4013"},
                   });
}

TEST(SimController, EchoesTheCommandLineFirstAndToleratesLineEnds) {
    SimOptions options = Quiet();
    options.echo = true;
    SimController sim(options);
    EXPECT_EQ(Send(sim, "ID;\r\n"), "ID;\r\nADC-SIM 1.0\r\n");
    EXPECT_EQ(Send(sim, "RS;\n"), "RS;\r\nRS,0!\r\n");
    EXPECT_EQ(Send(sim, "rs"), "rs\r\nRS,0!\r\n"); // no ";" and lower case still work
    EXPECT_EQ(Send(sim, "WL, 340 ;\r"), "WL, 340 ;\r\nWL,0!\r\n");
}

TEST(SimController, ReadingsFollowTheFilterAndRepeatWithTheSeed) {
    SimOptions options;
    options.noiseSigma = 5.0;
    options.seed = 42;
    SimController a(options);
    SimController b(options);
    options.seed = 43;
    SimController c(options);
    std::vector<std::string> ra, rb, rc;
    for (int counts = 0; counts <= 4095; counts += 512) {
        const std::string wa = "WA,1," + std::to_string(counts) + ";";
        for (SimController* sim : {&a, &b, &c})
            Send(*sim, wa);
        ra.push_back(Send(a, "RA,1;"));
        rb.push_back(Send(b, "RA,1;"));
        rc.push_back(Send(c, "RA,1;"));
    }
    EXPECT_EQ(ra, rb);
    EXPECT_NE(ra, rc);

    // Noise-free: the reading is the model's value, dark level with the filter far away.
    SimController quiet(Quiet());
    Send(quiet, "WA,1,1000;");
    const long ideal = std::lround(SimOptics::IdealReading({}, 1000));
    EXPECT_EQ(Send(quiet, "RA,1;"), "RA,1," + std::to_string(ideal) + "\r\n");
    Send(quiet, "SF,650;");
    EXPECT_EQ(Send(quiet, "RA,1;"), "RA,1,10\r\n");
}

TEST(SimController, HeavyNoiseStaysInsideTheTwelveBitDetector) {
    SimOptions options;
    options.noiseSigma = 5000.0;
    SimController sim(options);
    bool sawLow = false, sawHigh = false;
    for (int i = 0; i < 200; ++i) {
        const std::string reply = Send(sim, "RA,1;");
        const int reading = std::stoi(reply.substr(5));
        EXPECT_GE(reading, 0);
        EXPECT_LE(reading, 4095);
        sawLow = sawLow || reading == 0;
        sawHigh = sawHigh || reading == 4095;
    }
    EXPECT_TRUE(sawLow && sawHigh);
}

TEST(SimController, DefaultCalibrationMatchesTheHiddenOpticsWithinAFewNm) {
    const SimCalibration c;
    for (int counts = 0; counts <= 4095; counts += 15) {
        const double calibrated = c.lowWavelength + (counts - c.lowCounts) *
                                                        double(c.highWavelength - c.lowWavelength) /
                                                        (c.highCounts - c.lowCounts);
        EXPECT_NEAR(calibrated, SimOptics::TrueWavelength(counts), 3.0) << counts;
    }
    EXPECT_NEAR(SimOptics::TrueWavelength(0), 240.0, 1e-9);
    EXPECT_NEAR(SimOptics::TrueWavelength(4095), 699.0, 1e-9);
    EXPECT_NEAR(SimOptics::CountsForTrueWavelength(SimOptics::TrueWavelength(1234.5)), 1234.5,
                1e-6);
}

TEST(SimController, FilterBandsAreGaussianWithTheDocumentedWidth) {
    const std::vector<double> band{500.0};
    EXPECT_NEAR(SimOptics::FilterTransmission(band, 500.0), SimOptics::bandPeakTransmission, 1e-12);
    EXPECT_NEAR(SimOptics::FilterTransmission(band, 505.0), SimOptics::bandPeakTransmission / 2,
                1e-12);
    EXPECT_NEAR(SimOptics::FilterTransmission(band, 495.0), SimOptics::bandPeakTransmission / 2,
                1e-12);
    EXPECT_LT(SimOptics::FilterTransmission(band, 530.0), 1e-6);
    EXPECT_DOUBLE_EQ(SimOptics::FilterTransmission({}, 300.0), 1.0);
    EXPECT_LE(SimOptics::FilterTransmission({500.0, 500.0}, 500.0), 1.0);
}

// Closed loop: the program's way of driving the light (WL through the stored
// calibration, then WA sweeps) lands inside the filter's band.
TEST(SimController, SettingTheFilterWavelengthPutsTheLightInItsBand) {
    for (int centre : {300, 450, 600}) {
        SimOptions options;
        options.noiseSigma = 2.0;
        options.filterBands = {double(centre)};
        SimController sim(options);
        const double peak = SimOptics::IdealReading(
            options.filterBands,
            static_cast<int32_t>(std::lround(SimOptics::CountsForTrueWavelength(centre))));

        EXPECT_EQ(Send(sim, "WL," + std::to_string(centre) + ";"), "WL,0!\r\n");
        const int atCentre = std::stoi(Send(sim, "RA,1;").substr(5));
        EXPECT_GT(atCentre, 0.7 * peak) << centre;

        // The sweep grid of the calibration pages: 512 samples.
        int bestCounts = 0, bestReading = -1;
        for (int i = 0; i < 512; ++i) {
            Send(sim, "WA,1," + std::to_string(i * 8) + ";");
            const int reading = std::stoi(Send(sim, "RA,1;").substr(5));
            if (reading > bestReading) {
                bestReading = reading;
                bestCounts = i * 8;
            }
        }
        EXPECT_NEAR(SimOptics::TrueWavelength(bestCounts), centre, 3.0) << centre;
        EXPECT_NEAR(bestReading, peak, 0.05 * peak) << centre;
    }
}

TEST(SimController, FaultsShapeTheRepliesButCommandsStillTakeEffect) {
    SimOptions options = Quiet();
    options.echo = true;
    options.dropEvery = 2;
    SimController drop(options);
    EXPECT_EQ(drop.Respond("ID;").bytes, "ID;\r\nADC-SIM 1.0\r\n");
    EXPECT_EQ(drop.Respond("WA,1,100;").bytes, "WA,1,100;\r\n"); // reply dropped, echo kept
    EXPECT_EQ(drop.Counts(), 100);
    EXPECT_EQ(drop.Respond("RS;").bytes, "RS;\r\nRS,0!\r\n");
    EXPECT_EQ(drop.Respond("RS;").bytes, "RS;\r\n");

    options = Quiet();
    options.hangUpAfter = 2;
    SimController hangUp(options);
    EXPECT_FALSE(hangUp.Respond("ID;").hangUp);
    const SimReply second = hangUp.Respond("ID;");
    EXPECT_EQ(second.bytes, "ADC-SIM 1.0\r\n");
    EXPECT_TRUE(second.hangUp);

    options = Quiet();
    options.garbage = true;
    SimController garbage(options);
    for (int i = 0; i < 50; ++i) {
        const std::string bytes = garbage.Respond("RC,1;").bytes;
        ASSERT_GE(bytes.size(), 3u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        const std::string body = bytes.substr(0, bytes.size() - 2);
        EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos);
        EXPECT_NE(body, "(240,699)");
    }

    options = Quiet();
    options.babble = true;
    SimController babble(options);
    const SimReply first = babble.Respond("ID;");
    EXPECT_EQ(first.bytes, "ADC-SIM 1.0\r\n");
    EXPECT_TRUE(first.babble);
    const std::string bytes = babble.BabbleBytes(1000);
    EXPECT_EQ(bytes.size(), 1000u);
    EXPECT_EQ(bytes.find_first_of("\r\n"), std::string::npos);
}

} // namespace
