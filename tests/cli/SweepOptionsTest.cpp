#include "cli/SweepCommands.h"

#include <gtest/gtest.h>

TEST(SweepOptions, DefaultsFormsAndTheSampleCountNormalisedAsThePagesDo) {
    struct Case {
        std::vector<std::string> words;
        bool withWavelengths;
        int32_t samples;
        std::vector<int32_t> wavelengths;
        std::string save;
        bool check = false;
    } cases[] = {
        {{}, false, 1024, {0, 0, 0}, ""},
        {{"--samples", "1025"}, false, 1024, {0, 0, 0}, ""},
        {{"--samples=7"}, false, 16, {0, 0, 0}, ""},
        {{"--samples", "-3", "--save", "a.txt"}, false, 16, {0, 0, 0}, "a.txt"},
        {{"--samples", "5000"}, false, 5000, {0, 0, 0}, ""}, // the sweep itself stops at 4096
        {{"--wavelengths", "340", "0", "-510", "--save=b"}, true, 256, {340, 0, -510}, "b"},
        {{"--check", "--samples", "32"}, true, 32, {0, 0, 0}, "", true},
    };
    for (const Case& c : cases) {
        SweepOptions options;
        std::string reason;
        ASSERT_TRUE(ParseSweepOptions(c.words, c.withWavelengths, c.withWavelengths ? 256 : 1024,
                                      options, reason))
            << reason;
        EXPECT_EQ(options.samples, c.samples);
        EXPECT_EQ(std::vector<int32_t>(options.wavelengths, options.wavelengths + 3),
                  c.wavelengths);
        EXPECT_EQ(options.savePath, c.save);
        EXPECT_EQ(options.check, c.check);
    }
}
