#include "serial/SerialPort.h"
#include "serial/SerialMode.h"
#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Opens the device in a separate process and reports whether that worked.
bool OpensInAnotherProcess(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        SerialPort port;
        std::string text;
        ::_exit(port.Open(path, text) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A plain open(2), as any other program would do it, from a child that has
// given up root (root passes the terminal's exclusive mode). Returns 0 when
// it opened, else its errno; 255 when root could not be given up.
int PlainOpenErrorAsAnotherUser(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        const gid_t nobody = 65534;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
            ::_exit(255);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::_exit(fd >= 0 ? 0 : errno);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SerialPort, APlainOpenByAnotherProgramIsRefusedWhileThePortIsHeld) {
    PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    ASSERT_EQ(::chmod(pty.SlavePath().c_str(), 0666), 0);
    EXPECT_EQ(PlainOpenErrorAsAnotherUser(pty.SlavePath()), 0);
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), error)) << error;
    EXPECT_EQ(PlainOpenErrorAsAnotherUser(pty.SlavePath()), EBUSY);
    port.Close();
    EXPECT_EQ(PlainOpenErrorAsAnotherUser(pty.SlavePath()), 0);
}

// Passes by construction of SerialPort's own lock; the test above is the one
// that meets another program.
TEST(SerialPort, IsHeldExclusivelyAgainstOtherProcessesUntilClosed) {
    PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    EXPECT_TRUE(OpensInAnotherProcess(pty.SlavePath()));
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), error)) << error;
    EXPECT_FALSE(OpensInAnotherProcess(pty.SlavePath()));
    SerialPort second; // a second open in this process is refused as well
    EXPECT_FALSE(second.Open(pty.SlavePath(), error));
    EXPECT_EQ(error, "Device or resource busy");
    port.Close();
    EXPECT_TRUE(OpensInAnotherProcess(pty.SlavePath()));
}

TEST(SerialPort, AOneByteReadTimesOutWithoutErrorAndAByteEndsItAtOnce) {
    PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), error)) << error;
    SerialMode mode;
    ASSERT_TRUE(ParseModeString("baud=19200 parity=n data=8 stop=1", mode));
    ASSERT_TRUE(port.Apply(mode, error)) << error;
    ASSERT_TRUE(port.SetTimeouts(1, 500, 1, 100));
    char byte = 0;
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::TimedOut);
    ASSERT_EQ(::write(pty.MasterFd(), "Z", 1), 1);
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Byte);
    EXPECT_EQ(byte, 'Z');
    EXPECT_EQ(port.Write("RC;\r\n", 5), 5);
    port.Drain();
    char out[8] = {};
    EXPECT_EQ(::read(pty.MasterFd(), out, sizeof out), 5);
    pty.HangUp();
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Failed);
}

TEST(SerialPort, RefusesABaudRateTheLineCannotRun) {
    PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    SerialPort port;
    ASSERT_TRUE(port.Open(pty.SlavePath(), error)) << error;
    SerialMode mode;
    mode.baud = 12345;
    mode.dataBits = 8;
    EXPECT_FALSE(port.Apply(mode, error));
    mode.baud = 9600;
    mode.dataBits = 0; // a mode string without "data"
    EXPECT_FALSE(port.Apply(mode, error));
    mode.dataBits = 7;
    EXPECT_TRUE(port.Apply(mode, error)) << error;
}

} // namespace
