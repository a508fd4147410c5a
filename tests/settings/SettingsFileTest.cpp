#include "settings/SettingsFile.h"
#include "settings/ProfileFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace SettingsFile;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteRaw(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each test gets its own XDG_CONFIG_HOME, so nothing reaches the user's files.
class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override {
        root = fs::path(testing::TempDir()) /
               ("settings_" + std::to_string(getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
        setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        folder = root / "VORNadcC";
        profile = folder / ApplicationProfileName();
    }
    void TearDown() override { fs::remove_all(root); }

    size_t FilesInFolder() const { return FilesIn(folder); }
    static size_t FilesIn(const fs::path& dir) {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
    static ino_t Inode(const fs::path& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
    }

    fs::path root, folder, profile;
};

} // namespace

TEST_F(SettingsFileTest, LocationAndNames) {
    EXPECT_EQ(SettingsDirectory(), folder.string());
    // the test binary has a profile of its own, named after it
    EXPECT_EQ(ApplicationProfileName(), "settings_tests.INI");
    for (const auto& [executable, name] : {std::pair{"/usr/bin/VORNadcC", "VORNadcC.INI"},
                                           {"/opt/v1.2/VORNadcC.bin", "VORNadcC.INI"},
                                           {"/opt/v1.2/VORNadcC", "VORNadcC.INI"},
                                           {"", "VORNadcC.INI"}})
        EXPECT_EQ(ProfileNameOf(executable), name) << executable;

    setenv("XDG_CONFIG_HOME", "relative/dir", 1); // not absolute: ignored
    const char* savedHome = std::getenv("HOME");
    const std::string oldHome = savedHome ? savedHome : "";
    setenv("HOME", "/home/operator", 1);
    EXPECT_EQ(SettingsDirectory(), "/home/operator/.config/VORNadcC");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsDirectory(), "/home/operator/.config/VORNadcC");
    // without HOME (or with an empty one) the account's home folder
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    setenv("HOME", "", 1);
    EXPECT_EQ(SettingsDirectory(), std::string(account->pw_dir) + "/.config/VORNadcC");
    unsetenv("HOME");
    EXPECT_EQ(SettingsDirectory(), std::string(account->pw_dir) + "/.config/VORNadcC");
    if (savedHome)
        setenv("HOME", oldHome.c_str(), 1);
    else
        unsetenv("HOME");
}

TEST_F(SettingsFileTest, MissingFileSectionOrKeyGivesDefault) {
    EXPECT_EQ(GetProfileInt("Calibration", "Values", 1024), 1024u);
    EXPECT_EQ(GetProfileString("Setup", "ComPort", "COM1"), "COM1");
    EXPECT_EQ(GetPrivateProfileInt("SetWaveLength", "WaveLength1", 200, "VORNadcC.INI"), 200);
    EXPECT_FALSE(fs::exists(folder)); // reading creates nothing

    WriteRaw(profile, "[Setup]\r\nBits=8,1\r\n");
    EXPECT_EQ(GetProfileString("Setup", "ComPort", "COM1"), "COM1");
    EXPECT_EQ(GetProfileString("Terminal", "Bits", "x"), "x");
    EXPECT_EQ(GetProfileInt("Wavelength", "ct", -5), 4294967291u);
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCase) {
    WriteRaw(profile, "[setup]\nCOMPORT=COM3\n");
    EXPECT_EQ(GetProfileString("Setup", "ComPort", "COM1"), "COM3");
    ASSERT_TRUE(WriteProfileString("SETUP", "comport", "COM4"));
    EXPECT_EQ(ReadAll(profile), "[setup]\ncomport=COM4\n"); // replaced, not added
}

TEST_F(SettingsFileTest, WriteKeepsEveryOtherLine) {
    const std::string before = "; written by hand\n"
                               "[Foreign]\r\n"
                               "Values=3\r\n"
                               "\r\n"
                               "[Calibration]\n"
                               "  ; a comment in the section\n"
                               "Values=1025\n"
                               "Other = x \n"
                               "\n"
                               "[Last]\n"
                               "key=no line end";
    WriteRaw(profile, before);

    ASSERT_TRUE(WriteProfileInt("Calibration", "Values", 1024));
    std::string expected = before;
    expected.replace(expected.find("Values=1025\n"), 12, "Values=1024\n");
    EXPECT_EQ(ReadAll(profile), expected);

    // a new key goes after the section's last line, before the blank line
    ASSERT_TRUE(WriteProfileString("calibration", "Added", "7"));
    expected.insert(expected.find("\n\n[Last]") + 1, "Added=7\r\n");
    EXPECT_EQ(ReadAll(profile), expected);

    // a new section is appended; the unterminated last line gets CR LF
    ASSERT_TRUE(WriteProfileInt("Triple Band Calibration", "Values", 256));
    expected += "\r\n[Triple Band Calibration]\r\nValues=256\r\n";
    EXPECT_EQ(ReadAll(profile), expected);

    EXPECT_EQ(GetProfileString("Calibration", "Other", ""), "x");
    EXPECT_EQ(GetProfileInt("Foreign", "Values", 0), 3u);
    EXPECT_EQ(GetProfileString("Last", "key", ""), "no line end");
}

TEST_F(SettingsFileTest, IntegersReadSignedAndUnsigned) {
    ASSERT_TRUE(WriteProfileInt("Wavelength", "ct", -1));
    EXPECT_EQ(ReadAll(profile), "[Wavelength]\r\nct=-1\r\n");
    EXPECT_EQ(GetProfileInt("Wavelength", "ct", 5000), 4294967295u);

    ASSERT_TRUE(WritePrivateProfileString("SetWaveLength", "WaveLength3", "-1", "VORNadcC.INI"));
    EXPECT_EQ(GetPrivateProfileInt("SetWaveLength", "WaveLength3", 400, "VORNadcC.INI"), -1);

    const struct {
        const char* text;
        int32_t value;
    } cases[] = {{"42", 42},
                 {"+42", 42},
                 {"-42", -42},
                 {" \t17", 17},
                 {"12abc", 12},
                 {"abc", 0},
                 {"", 0},
                 {"-", 0},
                 {"2147483647", 2147483647},
                 {"4294967295", -1},
                 {"-2147483648", INT32_MIN}};
    for (const auto& c : cases)
        EXPECT_EQ(ProfileFile::ParseInt(c.text), c.value) << c.text;
}

TEST_F(SettingsFileTest, HandEditSeenAtNextRead) {
    ASSERT_TRUE(WriteProfileInt("Calibration", "Values", 1024));
    EXPECT_EQ(GetProfileInt("Calibration", "Values", 0), 1024u);
    WriteRaw(profile, "[Calibration]\r\nValues=2000\r\n");
    EXPECT_EQ(GetProfileInt("Calibration", "Values", 0), 2000u);
}

TEST_F(SettingsFileTest, StringsAreCutAt4095Characters) {
    ASSERT_TRUE(WriteProfileString("Terminal", "recent", std::string(5000, 'a')));
    EXPECT_EQ(GetProfileString("Terminal", "recent", ""), std::string(4095, 'a'));
    EXPECT_EQ(GetProfileString("Terminal", "missing", std::string(5000, 'b')).size(), 4095u);
}

TEST_F(SettingsFileTest, FixedNameFileInTheSameFolder) {
    ASSERT_TRUE(WritePrivateProfileString("SetWaveLength", "WaveLength1", "250", "VORNadcC.INI"));
    EXPECT_EQ(ReadAll(folder / "VORNadcC.INI"), "[SetWaveLength]\r\nWaveLength1=250\r\n");
    EXPECT_EQ(GetPrivateProfileInt("setwavelength", "wavelength1", 200, "VORNadcC.INI"), 250);
    EXPECT_FALSE(fs::exists(profile)); // the test's own profile is a different file
}

TEST_F(SettingsFileTest, RefusesLineBreaksThatWouldPlantKeys) {
    WriteRaw(profile, "[Setup]\r\nComPort=COM1\r\n");
    EXPECT_FALSE(WriteProfileString("Setup", "ComPort", "COM2\r\n[Other]\r\nx=1"));
    EXPECT_FALSE(WriteProfileString("Setup", "Com=Port", "COM2"));
    // names that would read back as a comment, a section line or another name
    for (const char* key : {";ComPort", "#ComPort", "[ComPort", " ComPort", "ComPort\t"})
        EXPECT_FALSE(WriteProfileString("Setup", key, "COM2")) << key;
    EXPECT_FALSE(WriteProfileString(" Setup", "ComPort", "COM2"));
    EXPECT_EQ(ReadAll(profile), "[Setup]\r\nComPort=COM1\r\n");
}

TEST_F(SettingsFileTest, FailedWriteLeavesOldFileWhole) {
    // the target is a directory: nothing to read, nothing replaced
    fs::create_directories(folder / "VORNadcC.INI");
    EXPECT_FALSE(WritePrivateProfileString("SetWaveLength", "WaveLength1", "1", "VORNadcC.INI"));
    EXPECT_TRUE(fs::is_directory(folder / "VORNadcC.INI"));

    // a write that fails part-way (file size limit, which binds root too)
    const std::string old = "[Keep]\r\nkey=" + std::string(3000, 'k') + "\r\n";
    WriteRaw(profile, old);
    const size_t filesBefore = FilesInFolder();
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteProfileString("Keep", "other", "v");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(profile), old);
    EXPECT_EQ(FilesInFolder(), filesBefore); // no temporary file left behind
    EXPECT_TRUE(WriteProfileString("Keep", "other", "v"));
}

TEST_F(SettingsFileTest, WriteCreatesMissingFolder) {
    fs::remove_all(root);
    ASSERT_TRUE(WriteProfileInt("Calibration", "Values", 1024));
    EXPECT_EQ(ReadAll(profile), "[Calibration]\r\nValues=1024\r\n");
    EXPECT_EQ(fs::status(profile).permissions(), fs::perms(0644));
}

TEST_F(SettingsFileTest, AByteOrderMarkIsSkippedWhenReadingAndKeptWhenWriting) {
    const std::string mark = "\xEF\xBB\xBF";
    WriteRaw(profile, mark + "[Setup]\r\nComPort=COM3\r\n");
    EXPECT_EQ(GetProfileString("Setup", "ComPort", "COM1"), "COM3");
    ASSERT_TRUE(WriteProfileString("Setup", "BaudRate", "9600"));
    EXPECT_EQ(ReadAll(profile), mark + "[Setup]\r\nComPort=COM3\r\nBaudRate=9600\r\n");
}

TEST_F(SettingsFileTest, ASymbolicLinkIsWrittenThroughToItsTarget) {
    // a chain of relative links to a shared file, as one file per machine is kept
    const fs::path shared = root / "shared" / "presets.INI";
    WriteRaw(shared, "[SetWaveLength]\r\nWaveLength1=200\r\n");
    fs::create_directories(folder);
    fs::create_symlink("../shared/presets.INI", folder / "middle.INI");
    fs::create_symlink("middle.INI", folder / "VORNadcC.INI");
    const ino_t before = Inode(shared);

    ASSERT_TRUE(WritePrivateProfileString("SetWaveLength", "WaveLength1", "250", "VORNadcC.INI"));
    EXPECT_EQ(ReadAll(shared), "[SetWaveLength]\r\nWaveLength1=250\r\n");
    EXPECT_NE(Inode(shared), before); // replaced by a rename, not rewritten
    EXPECT_EQ(fs::read_symlink(folder / "VORNadcC.INI"), "middle.INI");
    EXPECT_EQ(fs::read_symlink(folder / "middle.INI"), "../shared/presets.INI");
    EXPECT_EQ(FilesIn(shared.parent_path()), 1u);

    // an absolute link whose target does not exist yet: the target is made
    const fs::path target = root / "shared" / "profile.INI";
    fs::create_symlink(target, profile);
    ASSERT_TRUE(WriteProfileInt("Calibration", "Values", 1024));
    EXPECT_EQ(ReadAll(target), "[Calibration]\r\nValues=1024\r\n");
    EXPECT_TRUE(fs::is_symlink(profile));
    EXPECT_EQ(FilesInFolder(), 3u);
}

// A folder that takes no new file: only there is the file rewritten in place.
// Root may write into any folder, so the write runs in a child that is nobody.
TEST_F(SettingsFileTest, AFolderWithoutRoomForATemporaryFileGetsTheFileRewrittenInPlace) {
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
    const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
    const bool asRoot = ::geteuid() == 0;
    const fs::path sharedFolder = root / "shared";
    const std::string old = "[SetWaveLength]\r\nWaveLength1=200\r\n";
    const std::string changed = "[SetWaveLength]\r\nWaveLength1=250\r\n";
    const struct {
        const char* name;
        bool link; // the file is a link into a folder that takes new files
        fs::perms filePerms;
        bool written;
        bool sameInode; // rewritten in place
    } cases[] = {
        {"writable file", false, fs::perms(0666), true, true},
        {"read-only file", false, fs::perms(0444), false, true},
        {"link to a folder with room", true, fs::perms(0666), true, false},
    };
    for (const auto& c : cases) {
        fs::remove_all(root);
        fs::create_directories(folder);
        fs::create_directories(sharedFolder);
        fs::permissions(root, fs::perms(0755));
        const fs::path file = c.link ? sharedFolder / "presets.INI" : folder / "VORNadcC.INI";
        WriteRaw(file, old);
        if (c.link)
            fs::create_symlink(file, folder / "VORNadcC.INI");
        fs::permissions(file, c.filePerms);
        fs::permissions(folder, fs::perms(0555));
        fs::permissions(sharedFolder, fs::perms(0777));
        const ino_t before = Inode(file);

        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (asRoot &&
                (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
                ::_exit(3);
            ::_exit(WritePrivateProfileString("SetWaveLength", "WaveLength1", "250", "VORNadcC.INI")
                        ? 0
                        : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        fs::permissions(folder, fs::perms(0755));
        ASSERT_TRUE(WIFEXITED(status)) << c.name;
        ASSERT_NE(WEXITSTATUS(status), 3) << c.name << ": could not become nobody";
        EXPECT_EQ(WEXITSTATUS(status), c.written ? 0 : 1) << c.name;
        EXPECT_EQ(ReadAll(file), c.written ? changed : old) << c.name;
        EXPECT_EQ(Inode(file) == before, c.sameInode) << c.name;
        EXPECT_EQ(FilesIn(sharedFolder), c.link ? 1u : 0u) << c.name; // no temporary file left
    }
}
