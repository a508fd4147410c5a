// The whole main sheet offscreen against a controller that fails, driven the
// way an operator drives it: connect on "RS-232 Setup", sweep, set
// wavelengths, disconnect and connect again. Messages are recorded.
#include "reliability/PortHolder.h"
#include "reliability/SimFault.h"

#include "app/CPropertySheetMain.h"
#include "calibration/plot/SweepPlot.h"
#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"
#include "settings/SettingsFile.h"
#include "sim/SimOptics.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/DataExchange.h"

#include <QAbstractButton>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/resource.h>

namespace {

using Messages = std::vector<std::string>;

// The tabs' indexes in the main sheet.
constexpr int setupTab = 0, terminalTab = 1, protocolTab = 2, calibrationTab = 3, tripleTab = 4,
              setWavelengthTab = 5;

// RC,1, RS and ID of a connect on the setup page, then RC when a calibration
// page is shown: the first probe of a sweep is the fifth command.
constexpr int firstProbeCommand = handshakeCommands + 3;

const char writingMessage[] =
    "Error writing <VornAdcC.ini> \n\nInitialisation-File could not be written !";

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ProgramFault : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "programfault_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        scratch = pattern;
        setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
        folder = SettingsFile::SettingsDirectory();
        // short sweeps; the band search keeps its own resolution
        SettingsFile::WriteProfileInt("Calibration", "Values", 64);
        SettingsFile::WriteProfileInt("Triple Band Calibration", "Values", 256);
        SetMessageBoxHandler([this](const std::string& text) { messages.push_back(text); });
    }
    void TearDown() override {
        sheet.reset();
        AdcLink::ClosePort();
        AdcLink::Detail::SetMinWavelength(240);
        AdcLink::Detail::SetMaxWavelength(699);
        SetMessageBoxHandler({});
        sims.clear();
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }

    void ShowSheet() {
        sheet = std::make_unique<CPropertySheetMain>();
        sheet->show();
        ASSERT_EQ(sheet->GetActiveIndex(), setupTab);
    }
    std::string StartSim(const SimOptions& options = SimOptions()) {
        std::string error;
        sims.push_back(StartFaultySim(options, error));
        EXPECT_TRUE(sims.back()) << error;
        return sims.back() ? sims.back()->SlavePath() : std::string();
    }
    // "&Connect" with the port typed into the port box.
    void Show(int tab) {
        if (sheet->GetActiveIndex() != tab) {
            ASSERT_TRUE(sheet->SetActivePage(tab));
        }
    }
    void Connect(const std::string& path) {
        Show(setupTab);
        SetControlText(SetupPage().Control(1022), path);
        Click(SetupPage(), 1013);
    }
    void Disconnect() {
        Show(setupTab);
        Click(SetupPage(), 1014);
    }
    // A raw command typed on the terminal page.
    void Send(const std::string& command) {
        Show(terminalTab);
        SetControlText(sheet->terminalPage.Control(1010), command);
        Click(sheet->terminalPage, 1011);
    }
    static void Click(CPropertyPage& page, int id) {
        auto* button = page.ControlAs<QAbstractButton>(id);
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }
    static std::string Shown(CPropertyPage& page, int id) { return ControlText(page.Control(id)); }
    CPropertySetup& SetupPage() { return sheet->setupPage; }

    std::string scratch, folder;
    Messages messages;
    std::vector<std::unique_ptr<SimServer>> sims;
    std::unique_ptr<CPropertySheetMain> sheet;
};

TEST_F(ProgramFault, AHangUpInTheTwoPointSweepLeavesTheProgramUsableAndReconnectable) {
    SimOptions options;
    options.hangUpAfter = firstProbeCommand + 10; // the reply to the 6th probe's WA
    const std::string failing = StartSim(options);
    ShowSheet();
    Connect(failing);
    ASSERT_EQ(Shown(SetupPage(), 1026), "ADC-SIM 1.0");
    ASSERT_TRUE(sheet->SetActivePage(calibrationTab));
    CPropertyCalibrate& calibrate = sheet->calibratePage;
    ASSERT_EQ(calibrate.lowCounts, 87);

    const int64_t timeouts = AdcLink::ReadTimeoutCount();
    Click(calibrate, 1007);
    ASSERT_EQ(messages, Messages{"Error in calibration"});
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - timeouts, 0); // the hang-up is seen, not waited out
    EXPECT_EQ(calibrate.lowCounts, 87);
    EXPECT_EQ(Shown(calibrate, 1019), "87");
    EXPECT_EQ(calibrate.progressBar->value(), 0);
    EXPECT_GT(calibrate.samples[4], 1000); // open beam up to the failed probe

    // the other pages carry on and say the line is gone in their own words
    messages.clear();
    ASSERT_TRUE(sheet->SetActivePage(setWavelengthTab));
    Click(sheet->setWavelenPage, 1039);
    EXPECT_EQ(Shown(sheet->setWavelenPage, 1043), " ERROR: No connection to the ADC/QMB !!");
    ASSERT_TRUE(sheet->SetActivePage(tripleTab));
    EXPECT_EQ(sheet->calibrateTriplePage.lowCounts, 0);
    EXPECT_TRUE(messages.empty());

    // the link never noticed the hang-up: the setup page offers Disconnect
    ASSERT_TRUE(sheet->SetActivePage(setupTab));
    EXPECT_FALSE(SetupPage().Control(1013)->isEnabled());
    EXPECT_TRUE(SetupPage().Control(1014)->isEnabled());
    Disconnect();
    EXPECT_EQ(Shown(SetupPage(), 1026), "not connected");
    EXPECT_TRUE(SetupPage().Control(1013)->isEnabled());

    Connect(StartSim());
    EXPECT_EQ(Shown(SetupPage(), 1026), "ADC-SIM 1.0");
    Send("SF,450");
    EXPECT_EQ(sheet->terminalPage.replyLog, "SF,0!\r\n");
    ASSERT_TRUE(sheet->SetActivePage(calibrationTab));
    Click(calibrate, 1007);
    EXPECT_TRUE(messages.empty()) << messages[0];
    EXPECT_NEAR(SimOptics::TrueWavelength(calibrate.lowCounts), 450.0, 8.0);
}

TEST_F(ProgramFault, AHangUpInTheThreeBandSweepLeavesTheProgramUsableAndReconnectable) {
    SimOptions options;
    options.hangUpAfter = firstProbeCommand + 10;
    const std::string failing = StartSim(options);
    ShowSheet();
    Connect(failing);
    ASSERT_TRUE(sheet->SetActivePage(tripleTab));
    CPropertyCalibrateTriple& triple = sheet->calibrateTriplePage;
    SetControlText(triple.Control(1017), "340");
    SetControlText(triple.Control(1018), "510");

    Click(triple, 1007);
    ASSERT_EQ(messages, Messages{"Error in calibration"});
    EXPECT_EQ(triple.samples.size(), 5u); // the readings taken before the line dropped
    EXPECT_EQ(triple.lowCounts, 87);      // the band fields as they were
    EXPECT_EQ(triple.middleCounts, 0);
    EXPECT_EQ(Shown(triple, 1017), "340");
    EXPECT_EQ(triple.progressBar->value(), 0);

    messages.clear();
    Disconnect();
    Connect(StartSim());
    Send("SF,340,425,510");
    ASSERT_TRUE(sheet->SetActivePage(tripleTab));
    SetControlText(triple.Control(1017), "340");
    SetControlText(triple.Control(1018), "510");
    Click(triple, 1007);
    EXPECT_TRUE(messages.empty()) << messages[0];
    EXPECT_EQ(triple.Plot()->Markers().size(), 3u);
    EXPECT_NEAR(SimOptics::TrueWavelength(triple.middleCounts), 425.0, 8.0);
}

TEST_F(ProgramFault, DroppedRepliesCostOneTimeoutEachOnConnectSetSweepAndShow) {
    SimOptions options;
    options.dropEvery = 3; // ID, then every third WL
    const std::string failing = StartSim(options);
    ShowSheet();
    int64_t before = AdcLink::ReadTimeoutCount();
    Connect(failing);
    // the drain of pending replies always costs one; the dropped ID one more
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 2);
    EXPECT_EQ(Shown(SetupPage(), 1026), "unavailable");
    EXPECT_TRUE(AdcLink::IsPortOpen());

    ASSERT_TRUE(sheet->SetActivePage(setWavelengthTab));
    CPropertySetWavelen& page = sheet->setWavelenPage;
    const struct {
        int button;
        std::string status;
    } sets[] = {{1039, " Wavelength is set to  :  300 nm"},            // command 4
                {1040, " Wavelength is set to  :  400 nm"},            // 5
                {1041, " ERROR: No response from the the ADC/QMB !!"}, // 6, dropped
                {1039, " Wavelength is set to  :  300 nm"},            // 7: in step again
                {1040, " Wavelength is set to  :  400 nm"}};           // 8
    for (const auto& set : sets) {
        before = AdcLink::ReadTimeoutCount();
        Click(page, set.button);
        EXPECT_EQ(Shown(page, 1043), set.status);
        const bool dropped = set.status.find("ERROR") != std::string::npos;
        EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, dropped ? 1 : 0) << set.status;
    }
    EXPECT_TRUE(messages.empty());

    // 9 (RC) dropped on showing the calibration page: the retry (10) reads it
    before = AdcLink::ReadTimeoutCount();
    ASSERT_TRUE(sheet->SetActivePage(calibrationTab));
    CPropertyCalibrate& calibrate = sheet->calibratePage;
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 1);
    EXPECT_TRUE(calibrate.IsModified());
    EXPECT_EQ(calibrate.highCounts, 4013);

    // 11 (WA) of the first probe answered, 12 (RA) dropped
    before = AdcLink::ReadTimeoutCount();
    Click(calibrate, 1008);
    EXPECT_EQ(messages, Messages{"Error in calibration"});
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 1);
    EXPECT_EQ(calibrate.highCounts, 4013);

    // 13: the next exchange gets its own reply, not a late one
    int32_t lw = 0, lc = 0, hw = 0, hc = 0;
    ASSERT_TRUE(AdcLink::ReadCalibration(lw, lc, hw, hc));
    EXPECT_EQ(lw * 10000 + lc, 250 * 10000 + 87);
}

TEST_F(ProgramFault, GarbageRepliesEndAsStatusLinesAndMessagesNotCrashes) {
    SimOptions options;
    options.garbage = true;
    const std::string failing = StartSim(options);
    ShowSheet();
    Connect(failing);
    EXPECT_TRUE(messages.empty()); // the version is whatever came back
    EXPECT_TRUE(AdcLink::IsPortOpen());

    ASSERT_TRUE(sheet->SetActivePage(setWavelengthTab));
    const std::set<std::string> statuses = {" ERROR: Wavelength could not be set! ",
                                            " ERROR: No response from the the ADC/QMB !!"};
    for (int button : {1038, 1039, 1040, 1041}) {
        Click(sheet->setWavelenPage, button);
        EXPECT_EQ(statuses.count(Shown(sheet->setWavelenPage, 1043)), 1u)
            << Shown(sheet->setWavelenPage, 1043);
    }
    Send("RP");
    ASSERT_TRUE(sheet->SetActivePage(protocolTab));
    ASSERT_EQ(messages.size(), 1u); // the protocol could not be read back: the last reason
    EXPECT_TRUE(messages[0] == "Error reading!" || messages[0].rfind("Wrong answer:\n", 0) == 0)
        << messages[0];

    // both calibration pages: a sweep fails or finds something, and an apply
    // is never taken as accepted
    const std::set<std::string> applyWords = {"No answer", "ADC doesn't accept parameters!"};
    for (CPropertyPage* page : {static_cast<CPropertyPage*>(&sheet->calibratePage),
                                static_cast<CPropertyPage*>(&sheet->calibrateTriplePage)}) {
        messages.clear();
        ASSERT_TRUE(
            sheet->SetActivePage(page == &sheet->calibratePage ? calibrationTab : tripleTab));
        EXPECT_FALSE(page->IsModified()); // garbage is no calibration
        Click(*page, 1007);
        for (const std::string& message : messages)
            EXPECT_EQ(message, "Error in calibration");
        messages.clear();
        EXPECT_TRUE(page->OnApply());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(applyWords.count(messages[0]), 1u) << messages[0];
    }
    Disconnect();
    EXPECT_FALSE(AdcLink::IsPortOpen());
}

TEST_F(ProgramFault, ABabblingControllerCannotKeepConnectWaitingForever) {
    SimOptions options;
    options.babble = true; // RC,1 is answered, then no line ever ends
    const std::string failing = StartSim(options);
    ShowSheet();
    const int64_t before = AdcLink::ReadTimeoutCount();
    Connect(failing); // RS, the drain and ID each end at the line cap
    EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, 0);
    EXPECT_EQ(Shown(SetupPage(), 1026), "unavailable");
    EXPECT_TRUE(messages.empty());
    Disconnect();
    EXPECT_FALSE(AdcLink::IsPortOpen());
    Connect(StartSim());
    EXPECT_EQ(Shown(SetupPage(), 1026), "ADC-SIM 1.0");
}

TEST_F(ProgramFault, APortHeldByAnotherProcessShowsTheSystemsReason) {
    const std::string path = StartSim();
    PortHolder holder;
    std::string error;
    ASSERT_TRUE(holder.Hold(path, error)) << error;
    ShowSheet();
    Connect(path);
    EXPECT_EQ(messages, Messages{"Port Initialisation Error:\nDevice or resource busy"});
    EXPECT_FALSE(AdcLink::IsPortOpen());
    EXPECT_TRUE(SetupPage().Control(1013)->isEnabled());
    EXPECT_EQ(Shown(SetupPage(), 1026), "unavailable");

    messages.clear();
    holder.Release();
    Click(SetupPage(), 1013);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Shown(SetupPage(), 1026), "ADC-SIM 1.0");
}

// The presets' file cannot be replaced even by root: its name is taken by a
// folder. Leaving the page says so once; the typed presets stay in the page,
// which goes on working, and the application profile is not touched.
TEST_F(ProgramFault, AnUnwritablePresetFileIsReportedOnLeavingAndNothingElseIsLost) {
    std::filesystem::create_directories(std::filesystem::path(folder) / "VORNadcC.INI");
    ShowSheet();
    Connect(StartSim());
    ASSERT_TRUE(sheet->SetActivePage(setWavelengthTab)); // the setup keys are written here
    const std::string profile =
        FileBytes(std::filesystem::path(folder) / SettingsFile::ApplicationProfileName());
    ASSERT_NE(profile.find("ComPort="), std::string::npos);
    CPropertySetWavelen& page = sheet->setWavelenPage;
    EXPECT_EQ(Shown(page, 1033), "200"); // nothing could be read: the defaults
    SetControlText(page.Control(1033), "345");

    ASSERT_TRUE(sheet->SetActivePage(calibrationTab)); // leaving is not prevented
    EXPECT_EQ(messages, Messages{writingMessage});
    EXPECT_EQ(page.waveLength1, 345);
    EXPECT_EQ(Shown(page, 1033), "345");
    EXPECT_EQ(FileBytes(std::filesystem::path(folder) / SettingsFile::ApplicationProfileName()),
              profile);

    // back on the page it still sets wavelengths
    messages.clear();
    ASSERT_TRUE(sheet->SetActivePage(setWavelengthTab));
    SetControlText(page.Control(1034), "355");
    Click(page, 1039);
    EXPECT_EQ(Shown(page, 1043), " Wavelength is set to  :  355 nm");
    EXPECT_TRUE(messages.empty());
}

// A file-size limit of 0 makes every write of the settings fail, for root as
// well, while the old file stays readable: it must come through byte for byte.
TEST_F(ProgramFault, AFailedPresetWriteLeavesTheOldFileWhole) {
    const std::filesystem::path presets = std::filesystem::path(folder) / "VORNadcC.INI";
    const std::string old = "; kept by hand\r\n[SetWaveLength]\r\nWaveLength1=210\r\n"
                            "WaveLength2=310\r\nWaveLength3=410\r\nWaveLength4=510\r\nDebug=0\r\n";
    std::ofstream(presets, std::ios::binary) << old;
    ShowSheet();
    ASSERT_TRUE(sheet->SetActivePage(setWavelengthTab));
    CPropertySetWavelen& page = sheet->setWavelenPage;
    EXPECT_EQ(Shown(page, 1036), "510");
    SetControlText(page.Control(1033), "345");

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    const bool left = sheet->SetActivePage(protocolTab);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(left);
    EXPECT_EQ(messages, Messages{writingMessage});
    EXPECT_EQ(FileBytes(presets), old);
    EXPECT_EQ(Shown(page, 1033), "345");
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files += entry.path().filename().string().rfind("VORNadcC.INI", 0) == 0;
    EXPECT_EQ(files, 1u); // no temporary file left beside it
}

} // namespace
