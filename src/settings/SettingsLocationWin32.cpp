#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"

#include <windows.h>

#include <filesystem>
#include <knownfolders.h>
#include <shlobj.h>

namespace SettingsFile {

namespace {

std::string Narrow(const std::wstring& text) {
    return std::filesystem::path(text).u8string();
}

// The user's roaming application data: %APPDATA% when it names a folder
// outright, else what the shell says.
std::string ApplicationData() {
    const wchar_t* variable = ::_wgetenv(L"APPDATA");
    if (variable != nullptr && std::filesystem::path(variable).is_absolute())
        return Narrow(variable);
    PWSTR folder = nullptr;
    std::string result;
    if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder) == S_OK)
        result = Narrow(folder);
    ::CoTaskMemFree(folder);
    return result;
}

} // namespace

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2); // cut short: a longer path
    }
}

std::string SettingsDirectory() {
    return ApplicationData() + "\\VORNadcC";
}

} // namespace SettingsFile
