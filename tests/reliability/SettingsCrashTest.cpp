// Settings written while the writing process is killed at random moments:
// after every kill both files still parse, keep every line that is not theirs
// to change, and hold for each key either its old or its new value.
#include "settings/ProfileFile.h"
#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// One write of the loop: which file, section and key.
struct Slot {
    bool fixedName; // "VORNadcC.INI" through the private-profile calls
    const char* section;
    const char* key;
};

// In the order the child writes them each round: the presets as the set
// wavelength page leaves them, then the protocol as the protocol page applies it.
const Slot slots[] = {{true, "SetWaveLength", "WaveLength1"},
                      {true, "SetWaveLength", "WaveLength2"},
                      {true, "SetWaveLength", "WaveLength3"},
                      {true, "SetWaveLength", "WaveLength4"},
                      {false, "Wavelength", "ct"},
                      {false, "Wavelength", "dt"},
                      {false, "Wavelength", "it1"},
                      {false, "Wavelength", "it2"},
                      {false, "Wavelength", "wl0"},
                      {false, "Wavelength", "wl1"},
                      {false, "Wavelength", "wl2"}};
constexpr size_t slotCount = sizeof slots / sizeof slots[0];
const char fixedName[] = "VORNadcC.INI";

// Round numbers are far above every initial value, so each value says who wrote it.
constexpr int32_t firstRound = 1000000;

const char fixedFileText[] = "; presets, kept by hand\r\n"
                             "[SetWaveLength]\r\n"
                             "WaveLength1=200\r\n"
                             "WaveLength2=300\r\n"
                             "WaveLength3=400\r\n"
                             "WaveLength4=500\r\n"
                             "Debug=1\r\n"
                             "\r\n"
                             "[Notes]\r\n"
                             "lamp=changed in March\r\n";
const char profileText[] = "[Setup]\r\n"
                           "ComPort=COM2\r\n"
                           "[Wavelength]\r\n"
                           "ct=5000\r\n"
                           "dt=30\r\n"
                           "it1=200\r\n"
                           "it2=200\r\n"
                           "wl0=200\r\n"
                           "wl1=340\r\n"
                           "wl2=380\r\n";

int32_t ReadSlot(const Slot& slot) {
    return slot.fixedName
               ? SettingsFile::GetPrivateProfileInt(slot.section, slot.key, -7, fixedName)
               : static_cast<int32_t>(SettingsFile::GetProfileInt(slot.section, slot.key, -7));
}

[[noreturn]] void WriteForever(int32_t round) {
    for (;; ++round)
        for (const Slot& slot : slots) {
            if (slot.fixedName)
                SettingsFile::WritePrivateProfileString(slot.section, slot.key,
                                                        std::to_string(round), fixedName);
            else
                SettingsFile::WriteProfileInt(slot.section, slot.key, round);
        }
}

// Every line is blank, a comment, a "[section]" or a "key=value", each
// section appears once and each key once within its section.
::testing::AssertionResult Parses(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return ::testing::AssertionFailure() << path << " cannot be read";
    std::string line, section;
    std::vector<std::string> seen;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        std::string name;
        if (line.front() == '[' && line.back() == ']')
            name = section = line;
        else if (line.find('=') != std::string::npos && line.front() != '=')
            name = section + line.substr(0, line.find('='));
        else
            return ::testing::AssertionFailure() << path << ": stray line '" << line << "'";
        for (const std::string& earlier : seen)
            if (earlier == name)
                return ::testing::AssertionFailure() << path << ": twice: " << name;
        seen.push_back(name);
    }
    return ::testing::AssertionSuccess();
}

class SettingsCrash : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "settingscrash_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        scratch = pattern;
        setenv("XDG_CONFIG_HOME", scratch.c_str(), 1);
        folder = SettingsFile::SettingsDirectory();
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/" + fixedName, std::ios::binary) << fixedFileText;
        profilePath = folder + "/" + SettingsFile::ApplicationProfileName();
        ASSERT_NE(profilePath, folder + "/" + fixedName); // two files, as in the tests' setting
        std::ofstream(profilePath, std::ios::binary) << profileText;
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }

    // Files beside the settings that a write made and did not rename.
    size_t TemporaryFiles() const {
        size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            count += entry.path().filename().string().find(".INI.") != std::string::npos;
        return count;
    }

    std::string scratch, folder, profilePath;
};

TEST_F(SettingsCrash, EveryKeyHoldsItsOldOrItsNewValueAfterEachKill) {
    std::vector<int32_t> previous;
    for (const Slot& slot : slots)
        previous.push_back(ReadSlot(slot));
    ASSERT_EQ(previous[0], 200);
    ASSERT_EQ(previous[4], 5000);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delayUs(0, 15000);
    int32_t base = firstRound;
    int killedMidRound = 0;
    // A loaded machine may leave many kills between rounds: more kills then.
    for (int kill = 0; kill < 120 || (killedMidRound <= 10 && kill < 480); ++kill) {
        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(started[0]);
            (void)!::write(started[1], "", 1);
            WriteForever(base);
        }
        // The delay counts from the child's start, not from the fork.
        ::close(started[1]);
        char ready = 0;
        ASSERT_EQ(::read(started[0], &ready, 1), 1);
        ::close(started[0]);
        ::usleep(static_cast<useconds_t>(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended on its own";

        ASSERT_TRUE(Parses(folder + "/" + fixedName)) << "kill " << kill;
        ASSERT_TRUE(Parses(profilePath)) << "kill " << kill;
        std::vector<int32_t> now;
        for (const Slot& slot : slots)
            now.push_back(ReadSlot(slot));

        // The child was somewhere in round R at key j: the keys before j hold
        // R, the others what they held before round R (R - 1, or what the
        // previous child left when R is the child's first round).
        size_t j = 0;
        const int32_t round = now[0] >= base ? now[0] : base;
        while (j < slotCount && now[j] == round && now[0] >= base)
            ++j;
        for (size_t k = j; k < slotCount; ++k) {
            const int32_t before = round > base ? round - 1 : previous[k];
            ASSERT_EQ(now[k], before) << "kill " << kill << ", key " << slots[k].key << ", round "
                                      << round << " at " << j << ", child's first round " << base;
        }
        killedMidRound += (j > 0 && j < slotCount) ? 1 : 0;
        // nothing else in the files moved
        EXPECT_EQ(SettingsFile::GetPrivateProfileInt("SetWaveLength", "Debug", -7, fixedName), 1);
        std::string note;
        ASSERT_TRUE(ProfileFile(folder + "/" + fixedName).Read("Notes", "lamp", note));
        EXPECT_EQ(note, "changed in March");
        EXPECT_EQ(SettingsFile::GetProfileString("Setup", "ComPort", ""), "COM2");

        previous = now;
        base = (now[0] >= base ? round : base) + 1;
    }
    // the random moments did land inside rounds, not only between them
    EXPECT_GT(killedMidRound, 10);

    // A killed writer's temporary file goes at the next write of that file
    // by another process; one write to each file leaves none.
    RecordProperty("temporary_files_after_kills", static_cast<int>(TemporaryFiles()));
    ASSERT_TRUE(SettingsFile::WriteProfileInt("Wavelength", "ct", 5000));
    ASSERT_TRUE(
        SettingsFile::WritePrivateProfileString("SetWaveLength", "WaveLength1", "200", fixedName));
    EXPECT_EQ(TemporaryFiles(), 0u);
}

TEST_F(SettingsCrash, AWriteRemovesOnlyTheTemporaryFilesOfWritersThatHaveGone) {
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    int lifeline[2];
    ASSERT_EQ(::pipe(lifeline), 0);
    const pid_t running = ::fork();
    if (running == 0) {
        ::close(lifeline[1]);
        char byte = 0;
        (void)!::read(lifeline[0], &byte, 1); // returns once this test's process has gone
        ::_exit(0);
    }
    ::close(lifeline[0]);
    const std::string base = folder + "/" + fixedName;
    const std::string goneTemp = base + ".tmp" + std::to_string(gone) + ".a1b2c3";
    const std::string runningTemp = base + ".tmp" + std::to_string(running) + ".d4e5f6";
    const std::string backup = base + ".bak";
    const std::string notAnId = base + ".tmpabc.a1b2c3"; // someone else's: no writer id
    for (const std::string& path : {goneTemp, runningTemp, backup, notAnId})
        std::ofstream(path) << "[SetWaveLength]\r\n";

    EXPECT_TRUE(
        SettingsFile::WritePrivateProfileString("SetWaveLength", "WaveLength1", "250", fixedName));
    ::kill(running, SIGKILL);
    int status = 0;
    ::waitpid(running, &status, 0);
    // asking whether the writer lives must not have ended it
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    ::close(lifeline[1]);
    EXPECT_FALSE(std::filesystem::exists(goneTemp));
    EXPECT_TRUE(std::filesystem::exists(runningTemp)); // it may still rename it
    EXPECT_TRUE(std::filesystem::exists(backup));
    EXPECT_TRUE(std::filesystem::exists(notAnId));
    EXPECT_EQ(SettingsFile::GetPrivateProfileInt("SetWaveLength", "WaveLength1", 0, fixedName),
              250);
}

} // namespace
