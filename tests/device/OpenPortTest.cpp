#include "device/DevicePorts.h"
#include "device/LinkTest.h"
#include "serial/NamedPort.h"
#include "support/SerialServer.h"

#include <algorithm>
#include <cerrno>
#include <termios.h>
#include <unistd.h>

namespace {

// The line settings of a pseudo-terminal that show: Linux keeps a pseudo-
// terminal at 8 data bits without parity whatever is asked, but keeps the
// speed and the stop bits.
std::string SpeedAndStopBits(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return "tcgetattr failed";
    const speed_t speed = ::cfgetospeed(&settings);
    return std::string(speed == B19200  ? "19200"
                       : speed == B9600 ? "9600"
                                        : "other") +
           ((settings.c_cflag & CSTOPB) != 0 ? " stop 2" : " stop 1");
}

using OpenPort = LinkTest;

TEST_F(OpenPort, AnEmptyModeStringBecomesTheDefaultInTheCallersText) {
    ScriptHandshake(controller, "(240,699)");
    std::string error;
    ASSERT_TRUE(controller.Start(error)) << error;
    std::string mode;
    std::string errorText = "untouched";
    EXPECT_TRUE(AdcLink::OpenPort(controller.SlavePath(), mode, errorText));
    EXPECT_EQ(mode, "baud=19200 parity=N data=8 stop=1");
    EXPECT_EQ(errorText, "untouched");
    EXPECT_TRUE(AdcLink::IsPortOpen());
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(OpenPort, ARejectedModeStringFailsBeforeAnyPortIsOpened) {
    std::string mode = "baud=19200 parity=x data=8 stop=1";
    std::string errorText;
    EXPECT_FALSE(AdcLink::OpenPort("/dev/null", mode, errorText));
    EXPECT_EQ(errorText, "invalid parameter");
    EXPECT_FALSE(AdcLink::IsPortOpen());
}

// The system text, then either "(no serial ports found)" or the ports that
// exist here, each of which must be a device node that is really there.
void ExpectMissingDeviceText(const std::string& errorText) {
    const std::string head = "Port Initialisation Error:\nNo such file or directory (";
    ASSERT_EQ(errorText.rfind(head, 0), 0u) << errorText;
    const std::string hint = errorText.substr(head.size());
    EXPECT_EQ(hint.find('\n'), std::string::npos) << errorText;
    EXPECT_LE(errorText.size() - std::string("Port Initialisation Error:\n").size(), 255u);
    ASSERT_FALSE(hint.empty());
    EXPECT_EQ(hint.back(), ')');
    if (hint == "no serial ports found)")
        return;
    const std::string listHead = "ports here: ";
    ASSERT_EQ(hint.rfind(listHead, 0), 0u) << errorText;
    const std::string list = hint.substr(listHead.size(), hint.size() - listHead.size() - 1);
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t comma = std::min(list.find(", ", start), list.size());
        const std::string port = list.substr(start, comma - start);
        if (port != "...") {
            EXPECT_EQ(::access(port.c_str(), F_OK), 0) << port;
        }
        start = comma + 2;
    }
}

TEST_F(OpenPort, AMissingDeviceGivesTheSystemTextAndThePortsThatExist) {
    for (const char* name : {"/dev/no-such-serial-device", "COM7", "sim"}) {
        std::string mode, errorText;
        EXPECT_FALSE(AdcLink::OpenPort(name, mode, errorText));
        SCOPED_TRACE(name);
        ExpectMissingDeviceText(errorText);
        EXPECT_EQ(AdcLink::OpenErrorNumber(), ENOENT);
        EXPECT_FALSE(AdcLink::IsPortOpen());
    }
}

TEST_F(OpenPort, ANetworkPortThatCannotBeReachedIsAnInitialisationError) {
    const std::string port = std::to_string(FreeLoopbackPort());
    for (const char* scheme : {"socket", "rfc2217"}) {
        std::string mode, errorText;
        EXPECT_FALSE(AdcLink::OpenPort(scheme + ("://127.0.0.1:" + port), mode, errorText));
        EXPECT_EQ(errorText,
                  "Port Initialisation Error:\nConnection refused (127.0.0.1 port " + port + ")");
        EXPECT_FALSE(AdcLink::IsPortOpen());
    }
}

TEST_F(OpenPort, ANameAProgramOffersOpensAsOfferedAndIsListedLast) {
    ScriptHandshake(controller, "(240,699)");
    std::string error;
    ASSERT_TRUE(controller.Start(error)) << error;
    const std::string path = controller.SlavePath();
    int opened = 0;
    DevicePorts::Register({"BENCH", "first", [](std::string&) { return nullptr; }});
    DevicePorts::Register({"BENCH", "bench controller", [&](std::string& systemText) {
                               ++opened;
                               return OpenPortTransport(path, systemText);
                           }});
    std::string mode, errorText;
    ASSERT_TRUE(AdcLink::OpenPort("BENCH", mode, errorText)) << errorText;
    EXPECT_EQ(opened, 1);
    const std::vector<PortRecord> ports = DevicePorts::ListDetailed();
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports.back().name, "BENCH");
    EXPECT_EQ(ports.back().description, "bench controller");
    EXPECT_EQ(ports.end()[-2].name.rfind("BENCH", 0), std::string::npos);
    AdcLink::ClosePort();
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(OpenPort, WhileOpenItReconfiguresThatPortAndRunsTheHandshakeAgain) {
    // A reply already pending is this process's own: it stays, and here it is
    // taken as the answer to the second handshake's range query.
    ScriptHandshake(controller, "(240,699)");
    controller.Reply("(300,600)\r\n").Expect("RC,1;\r\n").Expect("RS;\r\n").Reply("RS,0!\r\n");
    Connect();
    EXPECT_EQ(SpeedAndStopBits(controller.MasterFd()), "19200 stop 1");
    std::string mode = "baud=9600 parity=e data=7 stop=2", errorText;
    EXPECT_TRUE(AdcLink::OpenPort("/dev/no-such-serial-device", mode, errorText)) << errorText;
    EXPECT_EQ(SpeedAndStopBits(controller.MasterFd()), "9600 stop 2");
    EXPECT_EQ(AdcLink::MinWavelength(), 300);
    EXPECT_EQ(AdcLink::MaxWavelength(), 600);
    EXPECT_EQ(controller.Finish(), "");
}

TEST_F(OpenPort, SettingsThatCannotBeAppliedOrAreRejectedLeaveThePortOpen) {
    controller.Expect("ID;\r\n");
    std::string error;
    ASSERT_TRUE(controller.Start(error)) << error;
    const struct {
        const char* mode;
        const char* errorText;
        int errorNumber;
    } cases[] = {
        // opens the port, then the system refuses the baud rate
        {"baud=12345 parity=n data=8 stop=1", "Unable to apply parameters:\nInvalid argument",
         EINVAL},
        // refused by the parser while that port is open: no system error
        {"baud=19200 parity=x data=8 stop=1", "invalid parameter", 0},
    };
    for (const auto& c : cases) {
        std::string mode = c.mode, errorText;
        EXPECT_FALSE(AdcLink::OpenPort(controller.SlavePath(), mode, errorText)) << c.mode;
        EXPECT_EQ(errorText, c.errorText);
        EXPECT_EQ(AdcLink::OpenErrorNumber(), c.errorNumber);
        EXPECT_TRUE(AdcLink::IsPortOpen()) << c.mode;
    }
    EXPECT_TRUE(AdcLink::SendCommand("ID;\r\n")); // still the same port
    EXPECT_EQ(controller.Finish(), "");           // and no handshake was sent
}

TEST_F(OpenPort, SendCommandWritesTheWholeTextAndRefusesAnEmptyOne) {
    ScriptHandshake(controller, "(240,699)");
    controller.Expect("RP;\r\n");
    Connect();
    EXPECT_FALSE(AdcLink::SendCommand(""));
    EXPECT_TRUE(AdcLink::SendCommand("RP;\r\n"));
    EXPECT_EQ(controller.Finish(), "");
    EXPECT_TRUE(AdcLink::ClosePort());
    EXPECT_FALSE(AdcLink::IsPortOpen());
    EXPECT_TRUE(AdcLink::ClosePort());
}

} // namespace
