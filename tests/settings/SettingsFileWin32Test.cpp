// The settings file on Windows: its folder under %APPDATA%, names with the
// system's separators, and a read-only file that stays as it is.
// No <windows.h> here: its macros would rename the settings operations to the
// system's own private-profile functions of the same names.
#include "settings/SettingsFixture.h"

using namespace SettingsFile;

namespace {

// A file whose write bits are gone is one with the read-only attribute.
bool ReadOnly(const fs::path& file) {
    return (fs::status(file).permissions() & fs::perms::owner_write) == fs::perms::none;
}

} // namespace

TEST_F(SettingsFileTest, TheFolderLiesUnderAppDataAndNamesTakeBackslashes) {
    EXPECT_EQ(fs::u8path(SettingsDirectory()), root / "VORNadcC");
    SetEnvironment(settingsBaseVariable, "relative\\dir"); // not a folder of its own: ignored
    EXPECT_TRUE(fs::u8path(SettingsDirectory()).is_absolute()) << SettingsDirectory();
    EXPECT_EQ(ProfileNameOf("C:\\Program Files\\VORN\\VORNadcC.exe"), "VORNadcC.INI");
    EXPECT_EQ(ProfileNameOf("C:\\v1.2\\VORNadcC.v2.exe"), "VORNadcC.v2.INI");
}

TEST_F(SettingsFileTest, AReadOnlyFileKeepsItsBytesAndTheWriteFails) {
    const fs::path file = folder / "VORNadcC.INI";
    const std::string old = "[SetWaveLength]\r\nWaveLength1=200\r\n";
    WriteRaw(file, old);
    const fs::perms writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(file, writable, fs::perm_options::remove);
    ASSERT_TRUE(ReadOnly(file));
    EXPECT_FALSE(WritePrivateProfileString("SetWaveLength", "WaveLength1", "250", "VORNadcC.INI"));
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_TRUE(ReadOnly(file));
    EXPECT_EQ(FilesInFolder(), 1u); // no temporary file left
    fs::permissions(file, writable, fs::perm_options::add);
    EXPECT_TRUE(WritePrivateProfileString("SetWaveLength", "WaveLength1", "250", "VORNadcC.INI"));
    EXPECT_EQ(ReadAll(file), "[SetWaveLength]\r\nWaveLength1=250\r\n");
    EXPECT_EQ(FilesInFolder(), 1u);
}
