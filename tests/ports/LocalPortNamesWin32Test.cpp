// Local port names on Windows: COMn is the device \\.\COMn, the form that
// CreateFile needs from COM10 up; there is no folder of stable names.
#include "ports/PortDiscovery.h"
#include "ports/PortNames.h"

#include <gtest/gtest.h>

namespace {

TEST(ResolvePortName, MapsEveryComPortToItsDeviceName) {
    const struct {
        const char* name;
        const char* path;
    } cases[] = {{"COM1", "\\\\.\\COM1"},        {"com4", "\\\\.\\COM4"}, {"COM10", "\\\\.\\COM10"},
                 {"COM256", "\\\\.\\COM256"},    {"COM257", ""},          {"COM0", ""},
                 {"\\\\.\\COM7", "\\\\.\\COM7"}, {"/dev/ttyS0", ""},      {"ttyS0", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(ResolvePortName(c.name), c.path) << c.name;
    EXPECT_TRUE(PortLinks(PortLinkFolder()).empty());
}

TEST(SystemPorts, AreComPortsInNumberOrder) {
    int last = 0;
    for (const SystemPort& port : PlatformSystemPorts()) {
        const int number = ComPortNumber(port.path);
        EXPECT_GT(number, last) << port.path;
        last = number;
    }
}

} // namespace
