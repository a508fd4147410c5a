// vornadc-cli sweep and sweep-bands run as programs against the simulated controller.
#include "sim/SimOptics.h"
#include "sim/SimServer.h"
#include "support/ProcessRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

class CliSweep : public ::testing::Test {
protected:
    void StartSim(SimOptions options = SimOptions()) {
        options.noiseSigma = 0;
        server = std::make_unique<SimServer>(options);
        std::string error;
        ASSERT_TRUE(server->Start(error)) << error;
    }

    ProcessResult Run(std::vector<std::string> words) {
        words.insert(words.begin(), {VORNADC_CLI, "--port", server->SlavePath()});
        return RunProcess(words);
    }

    std::string TempPath(const std::string& name) {
        return testing::TempDir() + "clisweep_" + std::to_string(getpid()) + "_" + name;
    }

    std::unique_ptr<SimServer> server;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(CliSweep, SweepPrintsThePeakCountsOfTheFilterInTheBeam) {
    StartSim();
    ASSERT_EQ(Run({"send", "SF,450"}).exitCode, 0);
    const std::string path = TempPath("peak.txt");
    const ProcessResult result = Run({"sweep", "--save", path});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    int counts = -1;
    char end = 0;
    ASSERT_EQ(std::sscanf(result.out.c_str(), "%d%c", &counts, &end), 2) << result.out;
    EXPECT_EQ(end, '\n');
    EXPECT_EQ(result.out, std::to_string(counts) + "\n");
    EXPECT_NEAR(SimOptics::TrueWavelength(counts), 450.0, 2.0) << counts;

    const std::string text = ReadAll(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1024);
    EXPECT_EQ(text.compare(0, 2, "0\t"), 0) << text.substr(0, 20);
    EXPECT_NE(text.find("\r\n4092\t"), std::string::npos);
    std::remove(path.c_str());
}

TEST_F(CliSweep, SweepBandsPrintsThreeLinesWithTheMiddleWavelengthCompleted) {
    StartSim();
    ASSERT_EQ(Run({"send", "SF,340,425,510"}).exitCode, 0);
    const std::string path = TempPath("bands.txt");
    const ProcessResult result = Run({"sweep-bands", "--wavelengths", "340", "0", "510",
                                      "--samples=255", "--save", path, "--check"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::istringstream lines(result.out);
    const char* names[] = {"low", "middle", "high"};
    const double nominal[] = {340, 425, 510};
    for (int band = 0; band < 3; ++band) {
        std::string name;
        int counts = 0, intensity = 0, wavelength = 0;
        ASSERT_TRUE(lines >> name >> counts >> intensity >> wavelength) << result.out;
        EXPECT_EQ(name, names[band]);
        EXPECT_NEAR(SimOptics::TrueWavelength(counts), nominal[band], 3.0) << name;
        EXPECT_GT(intensity, 100) << name;
        EXPECT_NEAR(wavelength, nominal[band], band == 1 ? 4 : 0) << name;
    }
    std::string rest;
    std::getline(lines, rest);
    std::getline(lines, rest);
    EXPECT_EQ(rest, "linearity unavailable"); // the middle was completed from the line
    EXPECT_FALSE(lines >> rest) << rest;
    EXPECT_EQ(result.out.back(), '\n');
    // --samples 255 is normalised to 254, as the pages do
    const std::string text = ReadAll(path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 254);
    std::remove(path.c_str());
}

TEST_F(CliSweep, SweepBandsCheckFindsTheSimulatorsBulgeOffTheStraightLine) {
    // SIM's light source runs 12x(1 - x) nm above the straight line: bands at
    // x = 0.064, 0.495 and 0.935 put the middle 12 * 0.431 * 0.441 = 2.3 nm
    // above the chord through the outer two, 20 counts at 8.9 counts a nm
    StartSim();
    ASSERT_EQ(Run({"send", "SF,270,470,670"}).exitCode, 0);
    const ProcessResult result =
        Run({"sweep-bands", "--samples", "1024", "--check", "--wavelengths", "270", "470", "670"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const size_t at = result.out.find("\nlinearity ");
    ASSERT_NE(at, std::string::npos) << result.out;
    double nm = 0;
    int counts = 0;
    char end = 0;
    ASSERT_EQ(std::sscanf(result.out.c_str() + at, "\nlinearity %lf %d%c", &nm, &counts, &end), 3)
        << result.out;
    EXPECT_EQ(end, '\n');
    EXPECT_NEAR(nm, 2.3, 0.5);
    EXPECT_NEAR(counts, -20, 5);
    EXPECT_EQ(result.out.find('\n', at + 1), result.out.size() - 1); // the fourth and last line
    // a low wavelength given as 0 is completed from the line
    const ProcessResult lowZero =
        Run({"sweep-bands", "--check", "--wavelengths", "0", "470", "670"});
    EXPECT_EQ(lowZero.out.substr(lowZero.out.rfind("linearity")), "linearity unavailable\n");
}

TEST_F(CliSweep, AFailedSweepSaysSoOnStderrAndExitsOne) {
    SimOptions options;
    options.dropEvery = 40; // a probe meets a silent controller
    StartSim(options);
    const std::string path = TempPath("never.txt");
    const ProcessResult result = Run({"sweep", "--samples", "64", "--save", path});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Error in calibration\n");
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(std::ifstream(path).good());
}

TEST_F(CliSweep, BadOptionsAreUsageErrorsBeforeThePortIsTouched) {
    StartSim();
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"sweep", "--samples", "many"},
                                               {"sweep", "--samples"},
                                               {"sweep", "--wavelengths", "1", "2", "3"},
                                               {"sweep", "--check"},
                                               {"sweep-bands", "--wavelengths", "340", "510"},
                                               {"sweep-bands", "extra"},
                                               {"sweep", "--save="}}) {
        const ProcessResult result = Run(words);
        EXPECT_EQ(result.exitCode, 2) << words.back();
        EXPECT_NE(result.err.find("usage:"), std::string::npos) << words.back();
    }
    const ProcessResult saveFails = Run({"sweep", "--samples", "16", "--save", "/"});
    EXPECT_EQ(saveFails.exitCode, 1);
    EXPECT_EQ(saveFails.err, "Access to / was denied.\n");
    EXPECT_FALSE(saveFails.out.empty()); // the counts were found and printed first
}

// Ctrl+C (a real SIGINT) during a sweep on a line paced at 19200 baud, where
// the whole sweep would take about 18 s: the sweep stops at the next probe,
// the probe under way is finished and logged, and the program exits with 130.
TEST_F(CliSweep, CtrlCStopsASweepAtTheNextProbeAndExitsWith130) {
    SimOptions options;
    options.baud = 19200;
    StartSim(options);
    const std::string log = TempPath("interrupted.log");
    std::remove(log.c_str());
    const auto count = [](const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + 1))
            ++n;
        return n;
    };
    const ProcessResult result =
        RunProcessAndSignal({VORNADC_CLI, "--port", server->SlavePath(), "--log", log, "sweep"},
                            SIGINT, [&] { return count(ReadAll(log), " sent RA,1;") >= 20; });
    EXPECT_EQ(result.exitCode, 130) << result.err;
    EXPECT_EQ(result.err, "vornadc-cli: interrupted\n");
    EXPECT_EQ(result.out, "");
    const std::string logged = ReadAll(log);
    const std::size_t probes = count(logged, " sent RA,1;");
    EXPECT_GE(probes, 20u);
    EXPECT_LT(probes, 200u);                                // far from the 1024 of the whole sweep
    EXPECT_EQ(count(logged, " received-lf RA,1,"), probes); // the last probe finished
    EXPECT_EQ(count(logged, " sent WA,1,"), probes);
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.back(), '\n');
    std::remove(log.c_str());
    // the line is free again for the next program
    EXPECT_EQ(Run({"id"}).exitCode, 0);
}

} // namespace
