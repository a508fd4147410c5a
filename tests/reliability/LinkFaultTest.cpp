// The device link against the simulated controller's faults: what each fault
// costs the link, counted in read time-outs rather than measured in time.
#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"
#include "device/VersionQuery.h"
#include "reliability/SimFault.h"
#include "sim/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

#include <set>
#include <string>

namespace {

class LinkFault : public ::testing::Test {
protected:
    void Open(const SimOptions& options) {
        std::string error;
        sim = StartFaultySim(options, error);
        ASSERT_TRUE(sim) << error;
        std::string mode;
        ASSERT_TRUE(AdcLink::OpenPort(sim->SlavePath(), mode, error)) << error;
    }
    void TearDown() override {
        AdcLink::ClosePort();
        AdcLink::Detail::SetMinWavelength(240);
        AdcLink::Detail::SetMaxWavelength(699);
        sim.reset();
    }

    std::unique_ptr<SimServer> sim;
};

TEST_F(LinkFault, EachDroppedReplyCostsOneTimeoutAndTheNextExchangeIsInStep) {
    for (const bool echo : {false, true}) {
        SimOptions options;
        options.dropEvery = 3;
        options.echo = echo; // the echo of a dropped command still comes
        Open(options);
        for (int command = handshakeCommands + 1; command <= handshakeCommands + 7; ++command) {
            const bool dropped = command % 3 == 0;
            const int64_t before = AdcLink::ReadTimeoutCount();
            ASSERT_TRUE(AdcLink::SendCommand("ID;\r\n"));
            std::string reply;
            EXPECT_EQ(AdcLink::ReadReply(reply), !dropped) << "command " << command;
            EXPECT_EQ(reply, dropped ? "" : "ADC-SIM 1.0") << "command " << command;
            EXPECT_EQ(AdcLink::ReadTimeoutCount() - before, dropped ? 1 : 0)
                << "command " << command << (echo ? " with echo" : "");
        }
        AdcLink::ClosePort();
    }
}

TEST_F(LinkFault, GarbageRepliesFailEveryCommandWithItsOwnWords) {
    SimOptions options;
    options.garbage = true;
    Open(options);
    // a garbage range may leave the wavelengths outside it
    const std::set<std::string> defineTexts = {"Error reading!", "ADC doesn't accept parameters!",
                                               "Wavelength 1 out of range",
                                               "Wavelength 2 out of range"};
    const std::set<std::string> writeTexts = {"No answer", "ADC doesn't accept parameters!"};
    for (int round = 0; round < 15; ++round) {
        int32_t dt = 30, it1 = 200, it2 = 200, rest = 4540, wl0 = 300, wl1 = 340, wl2 = 380;
        std::string errorText;
        if (!AdcLink::DefineProtocol(dt, it1, it2, rest, wl0, wl1, wl2, errorText)) {
            EXPECT_EQ(defineTexts.count(errorText), 1u) << errorText;
        }
        errorText.clear();
        if (!AdcLink::ReadProtocol(dt, it1, it2, rest, wl0, wl1, wl2, errorText)) {
            EXPECT_TRUE(errorText == "Error reading!" || errorText.rfind("Wrong answer:\n", 0) == 0)
                << errorText;
        }
        errorText.clear();
        // a garbage line never holds "WC,0!" or "RC,": the write is refused
        EXPECT_FALSE(AdcLink::WriteCalibration(250, 87, 690, 4013, errorText));
        EXPECT_EQ(writeTexts.count(errorText), 1u) << errorText;
        int32_t lw = 0, lc = 0, hw = 0, hc = 0, value = 2048;
        AdcLink::ReadCalibration(lw, lc, hw, hc);
        AdcLink::ProbeAnalogChannel(value);
        AdcLink::QueryWavelengthRange();
    }
    EXPECT_TRUE(AdcLink::IsPortOpen());
}

// A controller that stops reading while the line stays up: once the line's
// buffers are full each write gives up at its time-out, short, and fails.
TEST_F(LinkFault, AControllerThatStopsReadingFailsTheWritesInsteadOfBlockingThem) {
    PseudoTerminal line;
    std::string error, mode;
    ASSERT_TRUE(line.Open(error)) << error;
    ASSERT_TRUE(AdcLink::OpenPort(line.SlavePath(), mode, error)) << error; // no handshake reply
    const std::string command = "WA,1," + std::string(40, '1') + ";\r\n";
    int sent = 0;
    while (sent < 100000 && AdcLink::SendCommand(command))
        ++sent;
    EXPECT_LT(sent, 100000); // some write failed: the buffers are bounded
    EXPECT_GT(sent, 10);
    // While nobody reads, further writes keep failing; the kernel may still move
    // a few queued bytes along between calls, so one may slip through.
    int failed = 0;
    for (int i = 0; i < 20; ++i)
        failed += AdcLink::SendCommand(command) ? 0 : 1;
    EXPECT_GE(failed, 10);
    EXPECT_TRUE(AdcLink::IsPortOpen());
}

// Another instrument on the port that sends complete lines without end: the
// connect's drain of pending replies must come to an end all the same.
TEST_F(LinkFault, ALineStreamWithoutEndCannotHoldTheVersionQuery) {
    PseudoTerminal line;
    std::string error, mode;
    ASSERT_TRUE(line.Open(error)) << error;
    const int master = line.MasterFd();
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    std::atomic<bool> streaming{true};
    std::thread instrument([&] {
        const std::string sentence = "$GPGGA,123519,4807.038,N,01131.000,E*47\r\n";
        std::size_t next = 0; // a full line's buffer takes part of a sentence: the rest follows
        while (streaming) {
            const ssize_t n = ::write(master, sentence.data() + next, sentence.size() - next);
            if (n > 0)
                next = (next + static_cast<std::size_t>(n)) % sentence.size();
            else if (errno == EAGAIN)
                ::usleep(1000);
            char discard[256]; // what the program sends goes nowhere
            while (::read(master, discard, sizeof discard) > 0) {
            }
        }
    });
    ASSERT_TRUE(AdcLink::OpenPort(line.SlavePath(), mode, error)) << error;
    const std::string version = QueryVersion(); // ends after a bounded drain
    streaming = false;
    instrument.join();
    EXPECT_EQ(version, "$GPGGA,123519,4807.038,N,01131.000,E*47"); // a line of the stream
}

} // namespace
