// The settings file on Windows: its folder under %APPDATA%, names with the
// system's separators, and a read-only file that stays as it is.
#include "settings/SettingsFixture.h"

#include <windows.h>

using namespace SettingsFile;

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
    const std::wstring name = file.wstring();
    ASSERT_TRUE(::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WritePrivateProfileString("SetWaveLength", "WaveLength1", "250", "VORNadcC.INI"));
    EXPECT_EQ(ReadAll(file), old);
    EXPECT_NE(::GetFileAttributesW(name.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(FilesInFolder(), 1u); // no temporary file left
    ASSERT_TRUE(::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(WritePrivateProfileString("SetWaveLength", "WaveLength1", "250", "VORNadcC.INI"));
    EXPECT_EQ(ReadAll(file), "[SetWaveLength]\r\nWaveLength1=250\r\n");
    EXPECT_EQ(FilesInFolder(), 1u);
}
