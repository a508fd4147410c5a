#include "platform/PortNames.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

TEST(ResolvePortName, MapsComPortsAndPassesDevicePaths) {
    EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortName("com4"), "/dev/ttyS3");
    EXPECT_EQ(ResolvePortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortName("COM5"), "");
    EXPECT_EQ(ResolvePortName("COM10"), "");
    EXPECT_EQ(ResolvePortName(""), "");
    EXPECT_EQ(ResolvePortName("ttyS0"), "");
}

TEST(ListPortNames, StartsWithTheFourComPortsAndListsOthersByPath) {
    const std::vector<std::string> names = ListPortNames();
    ASSERT_GE(names.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
              (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4"}));
    EXPECT_TRUE(std::all_of(names.begin() + 4, names.end(),
                            [](const std::string& name) { return name.rfind("/", 0) == 0; }));
}

} // namespace
