#include "app/FakeSettingsFile.h"

#include "settings/SettingsFile.h"

#include <cstdlib>

namespace FakeSettings {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

std::map<std::string, std::string>& Values() {
    static std::map<std::string, std::string> values;
    return values;
}

void Reset() {
    Calls().clear();
    Values().clear();
}

} // namespace FakeSettings

namespace {

const std::string* Find(const std::string& section, const std::string& key) {
    auto it = FakeSettings::Values().find(section + "|" + key);
    return it == FakeSettings::Values().end() ? nullptr : &it->second;
}

} // namespace

namespace SettingsFile {

uint32_t GetProfileInt(const std::string& section, const std::string& key, int32_t defaultValue) {
    FakeSettings::Calls().push_back("GetProfileInt " + section + "|" + key);
    const std::string* value = Find(section, key);
    return value ? static_cast<uint32_t>(std::strtol(value->c_str(), nullptr, 10))
                 : static_cast<uint32_t>(defaultValue);
}

std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& defaultValue) {
    FakeSettings::Calls().push_back("GetProfileString " + section + "|" + key);
    const std::string* value = Find(section, key);
    return value ? *value : defaultValue;
}

bool WriteProfileInt(const std::string& section, const std::string& key, int32_t value) {
    FakeSettings::Calls().push_back("WriteProfileInt " + section + "|" + key + "=" +
                                    std::to_string(value));
    FakeSettings::Values()[section + "|" + key] = std::to_string(value);
    return true;
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value) {
    FakeSettings::Calls().push_back("WriteProfileString " + section + "|" + key + "=" + value);
    FakeSettings::Values()[section + "|" + key] = value;
    return true;
}

int32_t GetPrivateProfileInt(const std::string& section, const std::string& key,
                             int32_t defaultValue, const std::string&) {
    return static_cast<int32_t>(GetProfileInt(section, key, defaultValue));
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string&) {
    return WriteProfileString(section, key, value);
}

std::string SettingsDirectory() {
    return "/nonexistent";
}

std::string ApplicationProfileName() {
    return "VORNadcC.INI";
}

} // namespace SettingsFile
