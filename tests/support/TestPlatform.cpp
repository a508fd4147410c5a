#include "support/TestPlatform.h"

#include <cstdlib>
#include <unistd.h>

const char* const settingsBaseVariable = "XDG_CONFIG_HOME";

void SetEnvironment(const std::string& name, const std::string& value) {
    ::setenv(name.c_str(), value.c_str(), 1);
}

long ProcessId() {
    return static_cast<long>(::getpid());
}
