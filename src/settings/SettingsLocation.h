#pragma once

#include <string>

// Where the settings live, one twin per platform: SettingsLocation.cpp on
// Linux ($XDG_CONFIG_HOME/VORNadcC, default ~/.config/VORNadcC),
// SettingsLocationWin32.cpp on Windows (%APPDATA%\VORNadcC). SettingsDirectory
// itself is declared in SettingsFile.h.
namespace SettingsFile {

// The running executable's full path, UTF-8; "" when the system will not say.
std::string ExecutablePath();

} // namespace SettingsFile
