// Local port names on Linux: COM1..COM4 are the first serial devices, a path
// is a path; the stable names are links in a folder.
#include "ports/PortDiscovery.h"
#include "ports/PortNames.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

TEST(ResolvePortName, MapsComPortsAndPassesDevicePaths) {
    EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortName("com4"), "/dev/ttyS3");
    EXPECT_EQ(ResolvePortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortName("COM5"), "");
    EXPECT_EQ(ResolvePortName("COM10"), "");
    EXPECT_EQ(ResolvePortName(""), "");
    EXPECT_EQ(ResolvePortName("ttyS0"), "");
    EXPECT_EQ(ResolvePortName("CON1"), "");
}

TEST(PortLinks, OnlyLinksToExistingDevicesSortedByName) {
    TempFolder dir;
    const fs::path& folder = dir.Path();
    std::ofstream(folder / "ttyUSB0") << "";
    fs::create_symlink(folder / "ttyUSB0", folder / "usb-B");
    fs::create_symlink(folder / "ttyUSB0", folder / "usb-A");
    fs::create_symlink(folder / "ttyUSB9", folder / "usb-gone"); // unplugged
    const std::vector<PortLink> links = PortLinks(folder.string());
    ASSERT_EQ(links.size(), 2u); // not the device itself, nor the dangling link
    EXPECT_EQ(links[0].path, (folder / "usb-A").string());
    EXPECT_EQ(links[1].path, (folder / "usb-B").string());
    EXPECT_EQ(links[1].target, fs::canonical(folder / "ttyUSB0").string());
    EXPECT_TRUE(PortLinks((folder / "missing").string()).empty());
}

} // namespace
