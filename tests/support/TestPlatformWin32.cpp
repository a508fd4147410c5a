#include "support/TestPlatform.h"

#include <windows.h>

#include <cstdlib>

const char* const settingsBaseVariable = "APPDATA";

void SetEnvironment(const std::string& name, const std::string& value) {
    ::_putenv_s(name.c_str(), value.c_str());
}

long ProcessId() {
    return static_cast<long>(::GetCurrentProcessId());
}
