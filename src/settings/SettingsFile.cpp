#include "settings/SettingsFile.h"

#include "settings/ProfileFile.h"
#include "settings/SettingsLocation.h"

#include <filesystem>

namespace SettingsFile {

namespace {

constexpr size_t maxStringLength = 4095;

ProfileFile InFolder(const std::string& fileName) {
    return ProfileFile(SettingsDirectory() + "/" + fileName);
}

ProfileFile ApplicationProfile() {
    return InFolder(ApplicationProfileName());
}

} // namespace

std::string ApplicationProfileName() {
    return ProfileNameOf(ExecutablePath());
}

std::string ProfileNameOf(const std::string& executablePath) {
    // the platform's own separators: "\\" too on Windows
    std::string name = std::filesystem::u8path(executablePath).filename().u8string();
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
