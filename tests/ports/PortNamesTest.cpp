#include "ports/PortNames.h"
#include "ports/PortRecords.h"

#include <QTemporaryDir>

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
    EXPECT_EQ(ResolvePortName("socket://10.0.0.5:4001"), "socket://10.0.0.5:4001");
    EXPECT_EQ(ResolvePortName("RFC2217://lab:2217"), "RFC2217://lab:2217");
    EXPECT_EQ(ResolvePortName("rfc2217:/lab:2217"), "");
    EXPECT_EQ(ResolvePortName("telnet://lab:23"), "");
}

TEST(PortRecords, VendorProductAndDetailsSayWhatIsKnown) {
    EXPECT_EQ(VendorProductText(0, 0xFFFF), "0000:ffff");
    EXPECT_EQ(VendorProductText(0xABCD, 0), "abcd:0000");
    EXPECT_EQ(VendorProductText(-1, 0x6001), "");
    EXPECT_EQ(VendorProductText(0x0403, -1), "");
    const std::vector<PortRecord> records = DescribePorts(
        {{"/dev/ttyUSB0", "USB serial adapter", "", "A1B2C3", -1, -1},
         {"/dev/ttyACM0", "", "Acme", "", 0x2341, 0x0043},
         {"/dev/ttyACM1", "", "", "", 0x2341, 0x0043}},
        {{"/dev/serial/by-id/usb-gone", "/dev/ttyUSB1"}}); // a port the system does not report
    std::vector<std::string> details;
    for (const PortRecord& record : records)
        details.push_back(PortDetailsText(record));
    EXPECT_EQ(details, (std::vector<std::string>{
                           "", "", "", "", "USB serial adapter (serial A1B2C3)", "Acme (2341:0043)",
                           "(2341:0043)", "link to /dev/ttyUSB1"}));
}

TEST(PortLinks, OnlyLinksToExistingDevicesSortedByName) {
    QTemporaryDir dir;
    const fs::path folder = dir.path().toStdString();
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
