// Fuzz target: AdcLink::ReadReply over an arbitrary byte stream, through a
// fake serial port (FakeSerialPort.cpp) whose reads take the input's bytes
// and, at its end, time out at once or fail.
//
// Input: one flag byte (bit 0: the stream ends in a failed read rather than
// silence), then the bytes of the line. Replies are read until the stream is
// used up, and each must match the plain model below: the line up to LF with
// CR dropped, one echo line (longer than one character, ending in ";")
// skipped, everything up to the first ";" cut, success when the last read did
// not fail and something is left. Each call must consume exactly the bytes of
// its lines, nothing after the LF, and spend as many time-outs as the model.
#include "fuzz/FakeSerialPort.h"
#include "fuzz/ReplyModel.h"

#include "device/AdcLink.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Fail(const char* what, int call) {
    std::fprintf(stderr, "ReadReply fuzz: %s (reply %d)\n", what, call);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The handshake at the open finds a silent line and gives up at once.
    std::string mode, errorText;
    if (!AdcLink::OpenPort("/dev/fuzz-line", mode, errorText)) {
        std::fprintf(stderr, "ReadReply fuzz: cannot open the fake port: %s\n", errorText.c_str());
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Shorter than the reader's line cap, so every line is read whole.
    if (size == 0 || size > 4000)
        return 0;
    FakeLine::endFails = (data[0] & 1) != 0;
    FakeLine::bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    FakeLine::position = 0;
    FakeLine::timeouts = 0;
    ReplyModel model{FakeLine::bytes, 0, FakeLine::endFails, 0};

    // Until the stream is used up, and once more on the empty line.
    for (int call = 1; call <= 64; ++call) {
        const bool atEnd = model.position == model.bytes.size();
        std::string reply = "left over", expected;
        const bool ok = AdcLink::ReadReply(reply);
        const bool expectedOk = model.Reply(expected);
        if (ok != expectedOk)
            Fail("success differs from the model", call);
        if (reply != expected)
            Fail("reply differs from the model", call);
        if (FakeLine::position != model.position)
            Fail("consumed a different number of bytes", call);
        if (FakeLine::timeouts != model.timeouts)
            Fail("spent a different number of time-outs", call);
        if (atEnd)
            break;
    }
    return 0;
}
