#include "serial/SerialPort.h"
#include "serial/LocalTransport.h"
#include "serial/SerialMode.h"
#include "sim/PseudoTerminal.h"
#include "support/AnotherUser.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

// A port opened on a pseudo-terminal's slave and set up as the link sets it.
class OpenedLine : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(pty.Open(error)) << error;
        ASSERT_TRUE(port.Open(pty.SlavePath(), error)) << error;
        SerialMode mode;
        ASSERT_TRUE(ParseModeString("baud=19200 parity=n data=8 stop=1", mode));
        ASSERT_TRUE(port.Apply(mode, error)) << error;
        ASSERT_TRUE(port.SetTimeouts(1, 500, 1, 100));
    }

    PseudoTerminal pty;
    SerialPort port;
};

TEST_F(OpenedLine, AOneByteReadTimesOutWithoutErrorAndAByteEndsItAtOnce) {
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

TEST_F(OpenedLine, ADiscardDropsTheInputQueueAndWhatArrivesUntilTheLineIsQuiet) {
    ASSERT_EQ(::write(pty.MasterFd(), "queued", 6), 6);
    char byte = 0;
    ASSERT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Byte); // the rest is queued now
    std::thread late([this] {
        for (const char* part : {"la", "te"}) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            (void)!::write(pty.MasterFd(), part, 2);
        }
    });
    EXPECT_EQ(port.DiscardInput(100, 1000), "late");
    late.join();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::TimedOut);
    // the read time-out is the port's own again
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(450));
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

// What the driver is asked on opening, through the seam the transport calls.
struct SerialInfoScript {
    int getResult = 0;         // TIOCGSERIAL: 0, or -1 for a refusal
    int flags = 0;             // what TIOCGSERIAL reports
    int setResult = 0;         // TIOCSSERIAL: 0, or -1 for a refusal
    std::vector<int> setFlags; // the flags of each TIOCSSERIAL
    int setBaudBase = 0;       // a field that must be passed back as it was got
};
SerialInfoScript serialInfo;

int ScriptedSerialInfo(int, unsigned long request, serial_struct* info) {
    if (request == TIOCGSERIAL) {
        if (serialInfo.getResult != 0)
            return errno = ENOTTY, -1;
        *info = serial_struct{};
        info->flags = serialInfo.flags;
        info->baud_base = 24000000;
        return 0;
    }
    EXPECT_EQ(request, static_cast<unsigned long>(TIOCSSERIAL));
    serialInfo.setFlags.push_back(info->flags);
    serialInfo.setBaudBase = info->baud_base;
    return serialInfo.setResult != 0 ? (errno = EPERM, -1) : 0;
}

TEST(SerialPort, AsksTheDriverForLowLatencyAndOpensAllTheSameWhenRefused) {
    PseudoTerminal pty;
    std::string error;
    ASSERT_TRUE(pty.Open(error)) << error;
    const struct {
        const char* what;
        int getResult, flags, setResult;
        std::vector<int> setFlags;
    } rows[] = {
        {"the flag added to the others",
         0,
         ASYNC_SKIP_TEST,
         0,
         {ASYNC_SKIP_TEST | ASYNC_LOW_LATENCY}},
        {"already low latency: nothing to set", 0, ASYNC_LOW_LATENCY, 0, {}},
        {"no such setting here (refused get)", -1, 0, 0, {}},
        {"refused set", 0, 0, -1, {ASYNC_LOW_LATENCY}},
    };
    struct Seam {
        SerialInfoRequest real = serialInfoRequest;
        ~Seam() { serialInfoRequest = real; }
    } seam;
    serialInfoRequest = ScriptedSerialInfo;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        serialInfo = {row.getResult, row.flags, row.setResult, {}, 0};
        SerialPort port;
        ASSERT_TRUE(port.Open(pty.SlavePath(), error)) << error;
        EXPECT_EQ(serialInfo.setFlags, row.setFlags);
        if (!row.setFlags.empty()) {
            EXPECT_EQ(serialInfo.setBaudBase, 24000000); // passed back as it was
        }
        // the port works as any other
        SerialMode mode;
        ASSERT_TRUE(ParseModeString("baud=19200 parity=n data=8 stop=1", mode));
        EXPECT_TRUE(port.Apply(mode, error)) << error;
        ASSERT_TRUE(port.SetTimeouts(1, 500, 1, 100));
        EXPECT_EQ(port.Write("ID;\r\n", 5), 5);
        char out[8] = {};
        EXPECT_EQ(::read(pty.MasterFd(), out, sizeof out), 5);
    }
}

} // namespace
