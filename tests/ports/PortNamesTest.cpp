#include "ports/PortNames.h"
#include "ports/PortRecords.h"

#include <gtest/gtest.h>

namespace {

TEST(ResolvePortName, PassesNetworkPortsAndRefusesOtherSchemes) {
    EXPECT_EQ(ResolvePortName("socket://10.0.0.5:4001"), "socket://10.0.0.5:4001");
    EXPECT_EQ(ResolvePortName("RFC2217://lab:2217"), "RFC2217://lab:2217");
    EXPECT_EQ(ResolvePortName("rfc2217:/lab:2217"), "");
    EXPECT_EQ(ResolvePortName("telnet://lab:23"), "");
    EXPECT_EQ(ResolvePortName(""), "");
}

TEST(ComPortNumber, TakesOneTo256WithoutALeadingZero) {
    const struct {
        const char* name;
        int number;
    } cases[] = {{"COM1", 1},   {"COM9", 9}, {"com256", 256}, {"Com10", 10},
                 {"COM257", 0}, {"COM0", 0}, {"COM01", 0},    {"COM", 0},
                 {"COM1x", 0},  {"CON1", 0}, {"COM1000", 0},  {" COM1", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(ComPortNumber(c.name), c.number) << c.name;
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

    // Windows reports its ports by COM name: one of the first four takes the
    // details where it stands (in its own spelling), a higher one follows them.
    const std::vector<PortRecord> com =
        DescribePorts({{"com4", "USB Serial Port (COM4)", "FTDI", "", 0x0403, 0x6001},
                       {"COM5", "Communications Port (COM5)", "", "", -1, -1}},
                      {});
    std::vector<std::string> names;
    for (const PortRecord& record : com)
        names.push_back(record.name + "|" + PortDetailsText(record));
    EXPECT_EQ(names, (std::vector<std::string>{"COM1|", "COM2|", "COM3|",
                                               "COM4|USB Serial Port (COM4), FTDI (0403:6001)",
                                               "COM5|Communications Port (COM5)"}));
}

} // namespace
