#include "settings/SettingsFile.h"

#include "settings/ProfileFile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace SettingsFile {

namespace {

constexpr size_t maxStringLength = 4095;

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

std::string ExecutablePath() {
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationFilePath().toStdString();
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

ProfileFile InFolder(const std::string& fileName) {
    return ProfileFile(SettingsDirectory() + "/" + fileName);
}

ProfileFile ApplicationProfile() {
    return InFolder(ApplicationProfileName());
}

} // namespace

std::string SettingsDirectory() {
    // relative XDG values are to be ignored, which also keeps the folder
    // independent of the working directory
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string base =
        config != nullptr && config[0] == '/' ? config : HomeDirectory() + "/.config";
    return base + "/VORNadcC";
}

std::string ApplicationProfileName() {
    return ProfileNameOf(ExecutablePath());
}

std::string ProfileNameOf(const std::string& executablePath) {
    std::string name = executablePath;
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    if (name.empty())
        name = "VORNadcC";
    return name + ".INI";
}

uint32_t GetProfileInt(const std::string& section, const std::string& key, int32_t defaultValue) {
    std::string text;
    if (!ApplicationProfile().Read(section, key, text))
        return static_cast<uint32_t>(defaultValue);
    return static_cast<uint32_t>(ProfileFile::ParseInt(text));
}

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue) {
    std::string text;
    if (!ApplicationProfile().Read(section, key, text))
        text = defaultValue;
    if (text.size() > maxStringLength)
        text.resize(maxStringLength);
    return text;
}

bool WriteProfileInt(const std::string& section, const std::string& key, int32_t value) {
    return ApplicationProfile().Write(section, key, std::to_string(value)); // as "%d"
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value) {
    return ApplicationProfile().Write(section, key, value);
}

int32_t GetPrivateProfileInt(const std::string& section, const std::string& key,
                             int32_t defaultValue, const std::string& fileName) {
    std::string text;
    if (!InFolder(fileName).Read(section, key, text))
        return defaultValue;
    return ProfileFile::ParseInt(text);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& fileName) {
    return InFolder(fileName).Write(section, key, value);
}

} // namespace SettingsFile
