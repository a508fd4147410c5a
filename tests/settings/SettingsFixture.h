#pragma once

#include "settings/SettingsFile.h"
#include "support/TestPlatform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteRaw(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each test gets its own settings folder (XDG_CONFIG_HOME on Linux, APPDATA on
// Windows), so nothing reaches the user's files.
class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override {
        root = fs::u8path(testing::TempDir()) /
               ("settings_" + std::to_string(ProcessId()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
        SetEnvironment(settingsBaseVariable, root.u8string());
        folder = root / "VORNadcC";
        profile = folder / SettingsFile::ApplicationProfileName();
    }
    void TearDown() override { fs::remove_all(root); }

    size_t FilesInFolder() const { return FilesIn(folder); }
    static size_t FilesIn(const fs::path& dir) {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir), {}));
    }

    fs::path root, folder, profile;
};
