// The settings file on a POSIX file system: the home folder, links, modes, a
// size limit, and writers that are not root.
#include "settings/ProfileFile.h"
#include "settings/SettingsFixture.h"

#include <csignal>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace SettingsFile;

namespace {

ino_t Inode(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

} // namespace

TEST_F(SettingsFileTest, TheFolderFollowsXdgConfigHomeOrTheHomeFolder) {
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
// A read-only file stays as it is, bytes and mode, wherever it lies. Root may
// write any file and into any folder, so the write runs in a child that is
// nobody.
TEST_F(SettingsFileTest, AFolderWithoutRoomGetsTheFileRewrittenInPlaceAndAReadOnlyFileStays) {
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
    const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
    const bool asRoot = ::geteuid() == 0;
    const fs::path sharedFolder = root / "shared";
    const std::string old = "[SetWaveLength]\r\nWaveLength1=200\r\n";
    const std::string changed = "[SetWaveLength]\r\nWaveLength1=250\r\n";
    const struct {
        const char* name;
        bool link; // the file is a link into the shared folder, which takes new files
        fs::perms filePerms;
        fs::perms folderPerms; // of the settings folder
        bool written;
        bool sameInode; // rewritten in place
    } cases[] = {
        {"writable file", false, fs::perms(0666), fs::perms(0555), true, true},
        {"read-only file", false, fs::perms(0444), fs::perms(0555), false, true},
        {"link to a folder with room", true, fs::perms(0666), fs::perms(0555), true, false},
        {"read-only file in a folder with room", false, fs::perms(0444), fs::perms(0777), false,
         true},
        {"link to a read-only file in a folder with room", true, fs::perms(0444), fs::perms(0777),
         false, true},
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
        fs::permissions(folder, c.folderPerms);
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
        EXPECT_EQ(fs::status(file).permissions(), c.filePerms) << c.name;
        EXPECT_EQ(FilesIn(sharedFolder), c.link ? 1u : 0u) << c.name; // no temporary file left
        EXPECT_EQ(FilesInFolder(), 1u) << c.name;
    }
}
