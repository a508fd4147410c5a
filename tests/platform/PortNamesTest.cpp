#include "platform/PortNames.h"
#include "platform/NetworkAddress.h"

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
    // Network ports stay as they are, the scheme in any case; no other scheme does.
    EXPECT_EQ(ResolvePortName("socket://10.0.0.5:4001"), "socket://10.0.0.5:4001");
    EXPECT_EQ(ResolvePortName("RFC2217://lab:2217"), "RFC2217://lab:2217");
    EXPECT_EQ(ResolvePortName("rfc2217:/lab:2217"), "");
    EXPECT_EQ(ResolvePortName("telnet://lab:23"), "");
}

TEST(ParseNetworkAddress, TakesHostAndAPortFrom1To65535) {
    struct Row {
        const char* name;
        const char* host; // nullptr: refused
        const char* port;
    } rows[] = {
        {"socket://127.0.0.1:1", "127.0.0.1", "1"},
        {"rfc2217://lab-server.local:65535", "lab-server.local", "65535"},
        {"socket://[::1]:4001", "::1", "4001"},
        {"socket://127.0.0.1:0", nullptr, nullptr},
        {"socket://127.0.0.1:65536", nullptr, nullptr},
        {"socket://127.0.0.1:", nullptr, nullptr},
        {"socket://127.0.0.1", nullptr, nullptr},
        {"socket://:4001", nullptr, nullptr},
        {"socket://::1:4001", nullptr, nullptr},
        {"socket://lab server:4001", nullptr, nullptr},
        {"socket://127.0.0.1:40x1", nullptr, nullptr},
    };
    for (const Row& row : rows) {
        NetworkAddress address;
        std::string reason;
        const bool parsed = ParseNetworkAddress(row.name, address, reason);
        EXPECT_EQ(parsed, row.host != nullptr) << row.name;
        if (parsed) {
            EXPECT_EQ(address.host, row.host);
            EXPECT_EQ(address.port, row.port);
        } else {
            EXPECT_EQ(reason, "not a network port: HOST:PORT expected after socket://, PORT from "
                              "1 to 65535")
                << row.name;
        }
    }
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
