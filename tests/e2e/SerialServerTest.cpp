// The console through Debian's ser2net on 127.0.0.1, raw TCP and RFC 2217,
// each in front of a simulated controller's pseudo-terminal.
#include "support/SerialServer.h"
#include "device/AdcLink.h"
#include "sim/SimServer.h"
#include "support/ProcessRunner.h"

#include <chrono>
#include <fcntl.h>
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
    void StartAll(int32_t baud = 0) {
        if (SerialServer::Program().empty())
            GTEST_SKIP() << "ser2net is not installed (scripts/install-deps.sh installs it)";
        std::string error;
        std::vector<SerialServer::Connection> connections;
        for (auto kind : {SerialServer::Kind::Tcp, SerialServer::Kind::Rfc2217}) {
            SimOptions options;
            options.noiseSigma = 0;
            options.baud = baud;
            sims.push_back(std::make_unique<SimServer>(options));
            ASSERT_TRUE(sims.back()->Start(error)) << error;
            connections.push_back({kind, sims.back()->SlavePath()});
        }
        ASSERT_TRUE(server.Start(connections, error)) << error;
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
    StartAll();
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
    StartAll();
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
    StartAll(19200); // a 1024-sample sweep then lasts about 18 s
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

} // namespace
