#include "settings/SettingsLocation.h"
#include "settings/SettingsFile.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace SettingsFile {

namespace {

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

} // namespace

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

std::string SettingsDirectory() {
    // relative XDG values are to be ignored, which also keeps the folder
    // independent of the working directory
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string base =
        config != nullptr && config[0] == '/' ? config : HomeDirectory() + "/.config";
    return base + "/VORNadcC";
}

} // namespace SettingsFile
