// The console through Debian's ser2net on 127.0.0.1, raw TCP and RFC 2217,
// each in front of a simulated controller's pseudo-terminal.
#include "support/SerialServer.h"
#include "device/AdcLink.h"
#include "serial/PortTransport.h"
#include "serial/SerialMode.h"
#include "sim/SimServer.h"
#include "support/ProcessRunner.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using Words = std::vector<std::string>;

ProcessResult Cli(const std::string& port, Words words) {
    words.insert(words.begin(), {VORNADC_CLI, "--port", port});
    return RunProcess(words);
}

// Two simulators, one behind each kind of accepter, so that neither waits
// for the other to release its device.
class ThroughSerialServer : public ::testing::Test {
protected:
    void StartSims(std::size_t count, int32_t baud = 0) {
        if (SerialServer::Program().empty())
            GTEST_SKIP() << "ser2net is not installed (scripts/install-deps.sh installs it)";
        for (std::size_t i = 0; i < count; ++i) {
            SimOptions options;
            options.noiseSigma = 0;
            options.baud = baud;
            sims.push_back(std::make_unique<SimServer>(options));
            std::string error;
            ASSERT_TRUE(sims.back()->Start(error)) << error;
        }
    }

    // Both servers' sims and ser2net in front of them; whether the test may go
    // on (a failed or skipped start ends it).
    bool Started(int32_t baud = 0) {
        StartSims(2, baud);
        std::string error;
        if (!HasFatalFailure() && !IsSkipped()) {
            EXPECT_TRUE(server.Start({{SerialServer::Kind::Tcp, sims[0]->SlavePath()},
                                      {SerialServer::Kind::Rfc2217, sims[1]->SlavePath()}},
                                     error))
                << error;
        }
        return !HasFailure() && !IsSkipped();
    }

    void TearDown() override {
        AdcLink::ClosePort();
        server.Stop();
        for (auto& sim : sims)
            sim->Stop();
    }

    std::vector<std::unique_ptr<SimServer>> sims;
    SerialServer server;
};

TEST_F(ThroughSerialServer, EveryCliCommandAndBothSweepsAnswerAsOnTheDeviceItself) {
    if (!Started())
        return;
    const Words commands[] = {
        {"id"},
        {"range"},
        {"set-wavelength", "450"},
        {"send", "RS"},
        {"read-protocol"},
        {"define-protocol", "30", "200", "200", "4540", "240", "340", "380"},
        {"write-calibration", "250", "87", "690", "4013"},
        {"read-calibration"},
        {"probe", "2048"},
        {"send", "SF,450"},
        {"sweep", "--samples", "256"},
        {"send", "SF,400,500,600"},
        {"sweep-bands", "--samples", "256"},
    };
    // The direct runs get simulators of their own, given the same commands: the
    // server closes its device only some time after a connection ends, and
    // until then it would read the direct run's replies too.
    std::vector<std::unique_ptr<SimServer>> direct;
    for (std::size_t i = 0; i < 2; ++i) {
        SimOptions options;
        options.noiseSigma = 0;
        direct.push_back(std::make_unique<SimServer>(options));
        std::string error;
        ASSERT_TRUE(direct.back()->Start(error)) << error;
    }
    for (std::size_t i = 0; i < 2; ++i) {
        for (const Words& words : commands) {
            SCOPED_TRACE(server.PortName(i) + " " + words[0]);
            const ProcessResult alone = Cli(direct[i]->SlavePath(), words);
            const ProcessResult networked = Cli(server.PortName(i), words);
            EXPECT_EQ(alone.exitCode, 0) << alone.err;
            EXPECT_EQ(networked.exitCode, 0) << networked.err;
            EXPECT_EQ(networked.out, alone.out);
            EXPECT_EQ(networked.err, alone.err);
        }
    }
    for (auto& sim : direct)
        sim->Stop();
}

// The line settings of the pseudo-terminal behind the server.
termios DeviceSettings(const std::string& path) {
    termios settings{};
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0) << path;
    EXPECT_EQ(::tcgetattr(fd, &settings), 0);
    ::close(fd);
    return settings;
}

// A pseudo-terminal keeps the speed and the stop bits it is given; it always
// runs 8 data bits without parity, whatever is set.
TEST_F(ThroughSerialServer, AnRfc2217OpenSetsTheDeviceAndAnOpenPortSetsItAgain) {
    if (!Started())
        return;
    std::string mode = "baud=9600 parity=E data=7 stop=2", error;
    ASSERT_TRUE(AdcLink::OpenPort(server.PortName(1), mode, error)) << error;
    termios device = DeviceSettings(sims[1]->SlavePath());
    EXPECT_EQ(::cfgetospeed(&device), speed_t(B9600));
    EXPECT_EQ(device.c_cflag & CSTOPB, tcflag_t(CSTOPB));

    mode = "baud=19200 parity=N data=8 stop=1";
    ASSERT_TRUE(AdcLink::OpenPort(server.PortName(1), mode, error)) << error;
    device = DeviceSettings(sims[1]->SlavePath());
    EXPECT_EQ(::cfgetospeed(&device), speed_t(B19200));
    EXPECT_EQ(device.c_cflag & CSTOPB, tcflag_t(0));
}

TEST_F(ThroughSerialServer, AServerThatGoesAwayMidSweepFailsItAndANewConnectionWorks) {
    if (!Started(19200)) // a 1024-sample sweep then lasts about 18 s
        return;
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        server.Stop(true);
    });
    const ProcessResult failed = Cli(server.PortName(0), {"sweep"});
    stopper.join();
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err, "Error in calibration\n");

    // A new server on the same device: the next run connects. The reply cut
    // off by the first may still wait in the device, and the server passes it
    // on; the connect discards it, so a probe takes no earlier reading.
    std::string error;
    ASSERT_TRUE(server.Start({{SerialServer::Kind::Tcp, sims[0]->SlavePath()}}, error)) << error;
    const ProcessResult probe = Cli(server.PortName(0), {"probe", "2048"});
    EXPECT_EQ(probe.exitCode, 0) << probe.err;
    const ProcessResult again = Cli(server.PortName(0), {"id"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out, "ADC-SIM 1.0\n");
}

// Scripts run one command a run: pyserial's server hears nothing for up to
// 3 s after a connection ends; ser2net closes a connection made while it
// still releases the device after a connection on another of its accepters.
TEST_F(ThroughSerialServer, BackToBackRunsSucceedOnPyserialsServerAndTwoAcceptersOfOneDevice) {
    StartSims(3);
    if (HasFatalFailure() || IsSkipped())
        return;
    std::string error;
    SerialServer pyserial;
    if (!pyserial.StartPyserial(sims[2]->SlavePath(), error))
        GTEST_SKIP() << error;
    ASSERT_TRUE(server.Start({{SerialServer::Kind::Tcp, sims[0]->SlavePath()},
                              {SerialServer::Kind::Rfc2217, sims[0]->SlavePath()},
                              {SerialServer::Kind::Telnet, sims[1]->SlavePath()}},
                             error))
        << error;
    const std::string runs[] = {server.PortName(0),  server.PortName(1),   server.PortName(0),
                                server.PortName(1),  pyserial.PortName(0), pyserial.PortName(0),
                                pyserial.PortName(0)};
    for (const std::string& port : runs) {
        const ProcessResult run = Cli(port, {"id"});
        EXPECT_EQ(run.out, "ADC-SIM 1.0\n") << port << ": " << run.err;
    }
    // A plain Telnet accepter refuses the option, and that is said at once.
    EXPECT_EQ(Cli(server.PortName(2), {"id"}).err,
              "Unable to apply parameters:\nthe server refused the COM-PORT-OPTION (a plain Telnet "
              "server: use socket://, or an RFC 2217 accepter)\n");
}

// What came before the purge's acknowledgement, here a reply sent on by the
// server, is not read.
TEST_F(ThroughSerialServer, APurgeDropsWhatCameBeforeItsAcknowledgement) {
    if (!Started())
        return;
    std::string error, notes;
    auto port = OpenPortTransport(server.PortName(1), error, [&](const char* what, auto& text) {
        notes += what + (" " + text) + "\n";
    });
    SerialMode mode;
    ASSERT_TRUE(ParseModeString("baud=19200 data=8", mode) && port && port->Apply(mode, error));
    port->SetTimeouts({1, 500, 1, 100});
    ASSERT_EQ(port->Write("ID;\r\n", 5), 5);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    port->DiscardInput();
    char byte = 0;
    EXPECT_EQ(port->ReadByte(byte), PortTransport::ReadResult::TimedOut);
    EXPECT_NE(notes.find("received \xFF\xFA,p\x01\xFF\xF0\ndiscarded ADC-SIM 1.0\r\n"),
              std::string::npos)
        << notes;
}

// The log of an rfc2217:// run: where it connected, the negotiation with the
// settings, and the end of the connection.
TEST_F(ThroughSerialServer, TheLogOfAnRfc2217RunHoldsTheConnectionAndTheNegotiation) {
    if (!Started())
        return;
    const std::string path = ::testing::TempDir() + "serial_server_log";
    std::remove(path.c_str());
    ASSERT_EQ(Cli(server.PortName(1), {"--log", path, "id"}).exitCode, 0);
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(27)); // without the time
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "connected 127.0.0.1 port " + std::to_string(server.TcpPort(1)));
    EXPECT_EQ(lines.back(), "disconnected");
    for (const char* line :
         {"telnet-received \\xFF\\xFD,", "telnet-sent \\xFF\\xFA,\\x05\\x01\\xFF\\xF0",
          "telnet-received \\xFF\\xFA,i\\x01\\xFF\\xF0"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    std::remove(path.c_str());
}

} // namespace
