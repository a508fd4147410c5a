#include "serial/network/NetworkAddress.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseNetworkAddress, TakesHostAndAPortFrom1To65535) {
    struct Row {
        const char* name;
        const char* host; // nullptr: refused
        const char* port;
        const char* reason = nullptr; // when refused, if not the usual one
    } rows[] = {
        {"socket://127.0.0.1:1", "127.0.0.1", "1"},
        {"rfc2217://lab-server.local:65535", "lab-server.local", "65535"},
        {"socket://[::1]:4001", "::1", "4001"},
        {"socket://127.0.0.1:04001", "127.0.0.1", "4001"},
        {"socket://127.0.0.1:0", nullptr, nullptr},
        {"socket://127.0.0.1:65536", nullptr, nullptr},
        {"socket://127.0.0.1:", nullptr, nullptr},
        {"socket://127.0.0.1", nullptr, nullptr},
        {"socket://:4001", nullptr, nullptr},
        {"socket://::1:4001", nullptr, nullptr,
         "not a network port: an IPv6 address goes in brackets, as in socket://[::1]:4001"},
        {"socket://::1:4x01", nullptr, nullptr},
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
            EXPECT_EQ(reason, row.reason ? row.reason
                                         : "not a network port: HOST:PORT expected after "
                                           "socket://, PORT from 1 to 65535")
                << row.name;
        }
    }
}

} // namespace
