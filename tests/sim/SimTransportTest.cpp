// SIM in-process (Windows' SIM): the model behind a transport, with the
// line's pace and the faults as on the pseudo-terminal.
#include "sim/SimTransport.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Reads until LF, a time-out or a failure; the last result in end.
std::string ReadLine(PortTransport& port, PortTransport::ReadResult& end) {
    std::string line;
    char byte = 0;
    while ((end = port.ReadByte(byte)) == PortTransport::ReadResult::Byte) {
        line += byte;
        if (byte == '\n')
            break;
    }
    return line;
}

std::string Exchange(PortTransport& port, const std::string& command) {
    EXPECT_EQ(port.Write(command.data(), command.size()), static_cast<long>(command.size()));
    port.Drain();
    PortTransport::ReadResult end{};
    return ReadLine(port, end);
}

SimOptions Options(int32_t baud = 0) {
    SimOptions options;
    options.noiseSigma = 0.0;
    options.baud = baud;
    return options;
}

TEST(SimTransport, AnswersEachLineAndIsSilentWhenNothingIsAsked) {
    SimTransport port(Options());
    port.SetTimeouts({0, 50, 0, 0});
    EXPECT_EQ(Exchange(port, "RC,1;\r\n"), "(240,699)\r\n");
    // two commands in one write; one split over two
    EXPECT_EQ(Exchange(port, "ID;\nRS;\r"), "ADC-SIM 1.0\r\n");
    PortTransport::ReadResult end{};
    EXPECT_EQ(ReadLine(port, end), "RS,0!\r\n");
    EXPECT_EQ(port.Write("RC", 2), 2);
    EXPECT_EQ(ReadLine(port, end), "");
    EXPECT_EQ(end, PortTransport::ReadResult::TimedOut);
    EXPECT_EQ(Exchange(port, ";\r\n"), "250,87,690,4013\r\n");
}

TEST(SimTransport, PacedAtTheBaudRateBothWays) {
    // 5 bytes out and 13 back at 1200 baud: 18 byte times of 8.33 ms
    SimTransport port(Options(1200));
    port.SetTimeouts({0, 500, 0, 0});
    auto start = Clock::now();
    EXPECT_EQ(Exchange(port, "ID;\r\n"), "ADC-SIM 1.0\r\n");
    EXPECT_GE(Clock::now() - start, std::chrono::microseconds(18 * 8333));
    // two commands in one write: the second reply comes after the first
    start = Clock::now();
    EXPECT_EQ(Exchange(port, "ID;\r\nID;\r\n"), "ADC-SIM 1.0\r\n");
    PortTransport::ReadResult end{};
    EXPECT_EQ(ReadLine(port, end), "ADC-SIM 1.0\r\n");
    EXPECT_GE(Clock::now() - start, std::chrono::microseconds(36 * 8333));
}

TEST(SimTransport, FaultsAsOnTheLine) {
    SimOptions dropping = Options();
    dropping.dropEvery = 2;
    SimTransport dropper(dropping);
    dropper.SetTimeouts({0, 50, 0, 0});
    EXPECT_EQ(Exchange(dropper, "ID;\r\n"), "ADC-SIM 1.0\r\n");
    EXPECT_EQ(Exchange(dropper, "ID;\r\n"), ""); // the second gets no reply
    EXPECT_EQ(Exchange(dropper, "ID;\r\n"), "ADC-SIM 1.0\r\n");

    SimOptions hanging = Options();
    hanging.hangUpAfter = 1;
    SimTransport hanger(hanging);
    hanger.SetTimeouts({0, 50, 0, 0});
    EXPECT_EQ(Exchange(hanger, "ID;\r\n"), "ADC-SIM 1.0\r\n");
    char byte = 0;
    EXPECT_EQ(hanger.ReadByte(byte), PortTransport::ReadResult::Failed);
    EXPECT_EQ(hanger.Write("ID;\r\n", 5), -1);

    SimOptions babbling = Options();
    babbling.babble = true;
    SimTransport babbler(babbling);
    babbler.SetTimeouts({0, 50, 0, 0});
    EXPECT_EQ(Exchange(babbler, "ID;\r\n"), "ADC-SIM 1.0\r\n");
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(babbler.ReadByte(byte), PortTransport::ReadResult::Byte);
        EXPECT_NE(byte, '\n');
    }
}

TEST(SimTransport, AReopenedPortFindsTheControllerAsLeftAndDiscardDropsWhatCameIn) {
    auto controller = std::make_shared<SimController>(Options());
    {
        SimTransport first(controller, 0);
        first.SetTimeouts({0, 50, 0, 0});
        EXPECT_EQ(Exchange(first, "WA,1,100;\r\n"), "WA,0!\r\n");
        EXPECT_EQ(first.Write("ID;\r\n", 5), 5); // its reply is never read
    }
    EXPECT_EQ(controller->Counts(), 100);
    SimTransport second(controller, 0);
    second.SetTimeouts({0, 50, 0, 0});
    EXPECT_EQ(second.Write("ID;\r\n", 5), 5);
    second.DiscardInput();
    char byte = 0;
    EXPECT_EQ(second.ReadByte(byte), PortTransport::ReadResult::TimedOut);
    EXPECT_EQ(Exchange(second, "WA,1,7;\r\n"), "WA,0!\r\n");
}

} // namespace
