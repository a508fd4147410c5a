#pragma once

#include <string>

// What tests need of the platform beyond the standard library, one twin per
// platform: TestPlatform.cpp (POSIX), TestPlatformWin32.cpp.

// Sets (or with an empty value, on Windows, removes) an environment variable
// of this process.
void SetEnvironment(const std::string& name, const std::string& value);

// The variable that names the folder above the settings folder:
// XDG_CONFIG_HOME on Linux, APPDATA on Windows.
extern const char* const settingsBaseVariable;

// This process's id, for names that must not clash with another run's.
long ProcessId();
