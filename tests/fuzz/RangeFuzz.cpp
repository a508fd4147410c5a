// Fuzz target: the connection handshake, QueryWavelengthRange, over arbitrary
// controller replies, through the fake serial port (FakeSerialPort.cpp).
//
// Input: one flag byte (bit 0: the stream ends in a failed read rather than
// silence), then the bytes the controller sends. The commands written, the
// bytes consumed and the range afterwards must match the handshake written
// out below from its rules: the range reply "(min,max)" cut by the positions
// of the first "(", ")" and ",", or, after "RC,1!", the WL 1000 and WL 0
// probes; an end changes only where the text holds a digit and ScanNumbers
// finds exactly one entry.
//
// The handshake ends with a 100 ms pause after the RS command; this target
// skips exactly that pause (see nanosleep below) so it runs at full speed.
#include "fuzz/FakeSerialPort.h"
#include "fuzz/ReplyModel.h"

#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

long pausesSkipped = 0;

void Fail(const char* what) {
    std::fprintf(stderr, "QueryWavelengthRange fuzz: %s\n", what);
    std::abort();
}

// Text positions: -1 for a missing character; a part with a negative start
// starts at 0, one with a negative length is empty, and a part stops at the end.
long Position(const std::string& text, char c) {
    const auto at = text.find(c);
    return at == std::string::npos ? -1 : long(at);
}

std::string Part(const std::string& text, long start, long length) {
    start = start < 0 ? 0 : start;
    length = length < 0 ? 0 : length;
    if (std::size_t(start) >= text.size())
        return {};
    return text.substr(std::size_t(start), std::size_t(length));
}

// A text without any digit (the lone end marker) is no number.
void TakeIfSingle(const std::string& text, int32_t& end) {
    int32_t numbers[10];
    const bool digit =
        std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digit && AdcLink::ScanNumbers(numbers, text) == 1)
        end = numbers[0];
}

} // namespace

// The RS command's 100 ms pause, and only that, returns at once; every other
// sleep of the process (the fuzzer's own threads) is left as it was.
extern "C" int nanosleep(const struct timespec* request, struct timespec* remaining) {
    if (request->tv_sec == 0 && request->tv_nsec == 100'000'000) {
        ++pausesSkipped;
        return 0;
    }
    return int(syscall(SYS_nanosleep, request, remaining));
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string mode, errorText;
    if (!AdcLink::OpenPort("/dev/fuzz-line", mode, errorText))
        Fail("cannot open the fake port");
    if (pausesSkipped != 1)
        Fail("the pause after the RS command was not skipped: this target would crawl");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4000) // lines shorter than the reader's line cap
        return 0;
    FakeLine::endFails = (data[0] & 1) != 0;
    FakeLine::bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    FakeLine::position = 0;
    FakeLine::timeouts = 0;
    FakeLine::written.clear();
    AdcLink::Detail::SetMinWavelength(240);
    AdcLink::Detail::SetMaxWavelength(699);
    const long pausesBefore = pausesSkipped;

    if (!AdcLink::QueryWavelengthRange())
        Fail("the handshake reported failure");

    ReplyModel model{FakeLine::bytes, 0, FakeLine::endFails, 0};
    std::string commands = "RC,1;\r\n", reply;
    int32_t minimum = 240, maximum = 699;
    if (model.Reply(reply)) {
        if (reply.find("RC,1!") != std::string::npos) {
            commands += "WL,1000;\r\n";
            if (model.Reply(reply))
                TakeIfSingle(reply, maximum);
            commands += "WL,0;\r\n";
            if (model.Reply(reply))
                TakeIfSingle(reply, minimum);
        } else {
            const long open = Position(reply, '(');
            const std::string inside = Part(reply, open + 1, Position(reply, ')') - open);
            const long comma = Position(inside, ',');
            TakeIfSingle(Part(inside, 0, comma), minimum);
            TakeIfSingle(Part(inside, comma + 1, Position(inside, ')') - comma - 1), maximum);
        }
    }
    commands += "RS;\r\n";
    model.Reply(reply);

    if (FakeLine::written != commands)
        Fail("wrote other commands");
    if (FakeLine::position != model.position || FakeLine::timeouts != model.timeouts)
        Fail("read a different part of the stream");
    if (AdcLink::MinWavelength() != minimum || AdcLink::MaxWavelength() != maximum)
        Fail("the range differs");
    if (pausesSkipped != pausesBefore + 1)
        Fail("not one pause after the RS command");
    return 0;
}
