// adc-sim --listen's server: the model over raw TCP, one connection at a
// time, reached as a socket:// port.
#include "sim/SimListener.h"
#include "serial/SerialPort.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

SimOptions Listening() {
    SimOptions options;
    options.noiseSigma = 0.0;
    options.listenHost = "127.0.0.1";
    options.listenPort = "0";
    return options;
}

// One command and its reply line through a port; "" after a failed read.
std::string Exchange(SerialPort& port, const std::string& command) {
    EXPECT_EQ(port.Write(command.data(), command.size()), static_cast<long>(command.size()));
    std::string line;
    char byte = 0;
    while (port.ReadByte(byte) == SerialPort::ReadResult::Byte && byte != '\n')
        line += byte;
    return line;
}

bool Open(SerialPort& port, const std::string& name) {
    std::string error;
    const bool opened = port.Open(name, error) && port.SetTimeouts(0, 500, 0, 100);
    EXPECT_TRUE(opened) << error;
    return opened;
}

TEST(SimListener, ServesOneConnectionAfterAnotherWithTheModelAsLeft) {
    TempFolder dir;
    SimOptions options = Listening();
    options.logPath = (dir.Path() / "sim.log").string();
    SimListener listener(options);
    std::string error;
    ASSERT_TRUE(listener.Start(error)) << error;
    const std::string name = listener.PortName();
    EXPECT_EQ(name.rfind("socket://127.0.0.1:", 0), 0u) << name;
    EXPECT_NE(name, "socket://127.0.0.1:0");
    {
        SerialPort first;
        ASSERT_TRUE(Open(first, name));
        EXPECT_EQ(Exchange(first, "ID;\r\n"), "ADC-SIM 1.0\r");
        EXPECT_EQ(Exchange(first, "WA,1,100;\r\n"), "WA,0!\r");
    }
    SerialPort second;
    ASSERT_TRUE(Open(second, name));
    EXPECT_EQ(Exchange(second, "RA,1;\r\n"), "RA,1,1558\r"); // still at counts 100
    listener.Stop();
    std::ifstream log(options.logPath, std::ios::binary);
    const std::string logged{std::istreambuf_iterator<char>(log), {}};
    EXPECT_NE(logged.find("RX ID;\\r\\n\nTX ADC-SIM 1.0\\r\\n\n"), std::string::npos) << logged;
}

TEST(SimListener, AHangUpClosesTheConnectionAfterItsReply) {
    SimOptions options = Listening();
    options.hangUpAfter = 1;
    SimListener listener(options);
    std::string error;
    ASSERT_TRUE(listener.Start(error)) << error;
    SerialPort port;
    ASSERT_TRUE(Open(port, listener.PortName()));
    EXPECT_EQ(Exchange(port, "ID;\r\n"), "ADC-SIM 1.0\r");
    char byte = 0;
    EXPECT_EQ(port.ReadByte(byte), SerialPort::ReadResult::Failed);
}

TEST(SimListener, RefusesAnAddressItCannotListenOn) {
    SimOptions options = Listening();
    options.listenHost = "192.0.2.1"; // not this machine's
    SimListener listener(options);
    std::string error;
    EXPECT_FALSE(listener.Start(error));
    EXPECT_NE(error.find("(192.0.2.1 port 0)"), std::string::npos) << error;
}

} // namespace
