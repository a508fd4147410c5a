#include "sim/PseudoTerminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace {

TEST(PseudoTerminal, CarriesRawBytesBothWaysWithoutTranslation) {
    PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    int client = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(client, 0);

    const char out[] = "RC,1;\r\n";
    ASSERT_EQ(::write(client, out, 7), 7);
    char buf[16] = {};
    pollfd p{pty.MasterFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    ASSERT_EQ(::read(pty.MasterFd(), buf, sizeof buf), 7);
    EXPECT_EQ(std::string(buf, 7), "RC,1;\r\n"); // no CR/LF translation, no echo

    ASSERT_EQ(::write(pty.MasterFd(), "(240,699)\r\n", 11), 11);
    pollfd c{client, POLLIN, 0};
    ASSERT_EQ(::poll(&c, 1, 1000), 1);
    ASSERT_EQ(::read(client, buf, sizeof buf), 11);
    EXPECT_EQ(std::string(buf, 11), "(240,699)\r\n");
    ::close(client);
}

TEST(PseudoTerminal, HangUpIsSeenByTheClient) {
    PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    int client = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(client, 0);
    pty.HangUp();
    EXPECT_FALSE(pty.IsOpen());
    char c;
    EXPECT_LE(::read(client, &c, 1), 0); // end of file or an error, never data
    ::close(client);
}

} // namespace
