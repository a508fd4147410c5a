#pragma once

#include <cstdint>
#include <string>

// The private-profile (INI) settings service. Stateless: every read consults
// the file as it is now and every write updates it at once, so a hand edit
// takes effect at the next read. Both files live in one fixed folder,
// $XDG_CONFIG_HOME/VORNadcC/ (default ~/.config/VORNadcC/; on Windows
// %APPDATA%\VORNadcC\), whatever the
// working directory. Integer values read as an optional sign and decimal
// digits up to the first other character; text that does not begin with a
// number reads as 0. A failed write leaves the old file whole.
namespace SettingsFile {

// The application profile: the executable's base name + ".INI".
uint32_t GetProfileInt(const std::string& section, const std::string& key, int32_t defaultValue);
// At most 4095 characters.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue);
bool WriteProfileInt(const std::string& section, const std::string& key, int32_t value);
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value);

// A named file in the same folder.
int32_t GetPrivateProfileInt(const std::string& section, const std::string& key,
                             int32_t defaultValue, const std::string& fileName);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName);

// The folder that holds both files.
std::string SettingsDirectory();
// The application profile's file name, without a folder.
std::string ApplicationProfileName();
// The profile name an executable gets: its file name without folder and
// without everything from the last "." on, then ".INI".
std::string ProfileNameOf(const std::string& executablePath);

} // namespace SettingsFile
