#include "calibration/core/CalibrationFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace CalibrationCore;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TempPath(const char* name) {
    return testing::TempDir() + "calib_" + std::to_string(getpid()) + "_" + name;
}

} // namespace

TEST(CalibrationFile, FormatByteForByte) {
    EXPECT_EQ(FormatCalibrationText({5, -3, 2147483647}, 1024),
              "0\t5\r\n4\t-3\r\n8\t2147483647\r\n");
    EXPECT_EQ(FormatCalibrationText({}, 256), "");

    std::vector<int32_t> full(1024, 1);
    const std::string text = FormatCalibrationText(full, 1024);
    EXPECT_EQ(text.rfind("4092\t1\r\n"), text.size() - 8);
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, 1024u);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1); // no bare LF
}

TEST(CalibrationFile, NeverReadsPastTheReadingsHeld) {
    // a sweep that failed after 3 of 256 samples
    EXPECT_EQ(FormatCalibrationText({7, 8, 9}, 256), "0\t7\r\n16\t8\r\n32\t9\r\n");
    // more readings than a sweep of the configured count takes
    const std::string text = FormatCalibrationText(std::vector<int32_t>(20, 1), 16);
    EXPECT_EQ(text.substr(text.size() - 8), "3840\t1\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 16);
}

TEST(CalibrationFile, WritesAndTruncates) {
    const std::string path = TempPath("out.txt");
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(500, 'x');
    }
    std::string error = "untouched";
    ASSERT_TRUE(WriteCalibrationFile(path, {1, 2}, 1024, error));
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(ReadAll(path), "0\t1\r\n4\t2\r\n");
    std::remove(path.c_str());
}

TEST(CalibrationFile, ReportsFailuresNamingTheFile) {
    const std::string dir = testing::TempDir();
    std::string error;
    EXPECT_FALSE(WriteCalibrationFile(dir, {1}, 16, error));
    EXPECT_EQ(error, "Access to " + dir + " was denied.");

    const std::string missing = dir + "no_such_dir_" + std::to_string(getpid()) + "/x.txt";
    EXPECT_FALSE(WriteCalibrationFile(missing, {1}, 16, error));
    EXPECT_EQ(error, missing + " was not found.");

    if (access("/dev/full", W_OK) == 0) {
        EXPECT_FALSE(WriteCalibrationFile("/dev/full", std::vector<int32_t>(1024, 1), 1024, error));
        EXPECT_EQ(error, "Disk full while accessing /dev/full.");
    }
}
