#include "support/TempFolder.h"

#include "support/TestPlatform.h"

#include <string>

TempFolder::TempFolder() {
    static int made = 0;
    const auto base = std::filesystem::temp_directory_path();
    std::error_code error;
    do
        path = base / ("vorn-test-" + std::to_string(ProcessId()) + "-" + std::to_string(++made));
    while (!std::filesystem::create_directory(path, error) && !error);
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path, error);
}
