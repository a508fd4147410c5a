#include "settings/ProfileFile.h"
#include "settings/SettingsFixture.h"

using namespace SettingsFile;

TEST_F(SettingsFileTest, TheFolderAndTheProfileNamedAfterTheExecutable) {
    EXPECT_EQ(SettingsDirectory(), folder.u8string());
    // the test binary has a profile of its own, named after it
    EXPECT_EQ(ApplicationProfileName(), "settings_tests.INI");
    // everything from the last dot on goes, however many there are
    for (const auto& [executable, name] : {std::pair{"/usr/bin/VORNadcC", "VORNadcC.INI"},
                                           {"/opt/v1.2/VORNadcC.bin", "VORNadcC.INI"},
                                           {"/opt/v1.2/VORNadcC", "VORNadcC.INI"},
                                           {"/opt/VORNadcC.v2.bin", "VORNadcC.v2.INI"},
                                           {"", "VORNadcC.INI"}})
        EXPECT_EQ(ProfileNameOf(executable), name) << executable;
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

TEST_F(SettingsFileTest, AByteOrderMarkIsSkippedWhenReadingAndKeptWhenWriting) {
    const std::string mark = "\xEF\xBB\xBF";
    WriteRaw(profile, mark + "[Setup]\r\nComPort=COM3\r\n");
    EXPECT_EQ(GetProfileString("Setup", "ComPort", "COM1"), "COM3");
    ASSERT_TRUE(WriteProfileString("Setup", "BaudRate", "9600"));
    EXPECT_EQ(ReadAll(profile), mark + "[Setup]\r\nComPort=COM3\r\nBaudRate=9600\r\n");
}
