#include "sim/SimTransport.h"

#include <algorithm>
#include <thread>

namespace {

// A babbling controller's bytes are made this many at a time.
constexpr std::size_t babbleChunk = 32;

// Some systems' sleeps end a little early (winpthreads rounds to whole
// milliseconds): a byte must not come before its time.
void SleepUntil(std::chrono::steady_clock::time_point when) {
    while (std::chrono::steady_clock::now() < when)
        std::this_thread::sleep_until(when);
}

} // namespace

SimTransport::SimTransport(const SimOptions& options)
    : SimTransport(std::make_shared<SimController>(options), options.baud) {}

SimTransport::SimTransport(std::shared_ptr<SimController> controller, int32_t baud)
    : controller(std::move(controller)), inClock(Clock::now()), outClock(inClock) {
    if (baud > 0)
        byteTime = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(10)) / baud;
}

void SimTransport::Queue(std::string bytes, bool hangUp) {
    if (bytes.empty() && !hangUp)
        return;
    // A reply starts when its command has gone out and the one before it is in.
    const Clock::time_point start = std::max({outClock, inClock, Clock::now()});
    outClock = start + byteTime * static_cast<long>(bytes.size());
    queued.push_back({std::move(bytes), start, 0, hangUp});
}

long SimTransport::Write(const char* data, std::size_t size) {
    if (hungUp)
        return -1;
    inClock = std::max(inClock, Clock::now()) + byteTime * static_cast<long>(size);
    for (const std::string& line : lines.Take(data, size)) {
        if (babbling)
            continue; // a babbling controller no longer listens
        const SimReply reply = controller->Respond(line);
        Queue(reply.bytes, reply.hangUp);
        babbling = reply.babble;
    }
    return static_cast<long>(size);
}

void SimTransport::Drain() {
    SleepUntil(inClock);
}

PortTransport::ReadResult SimTransport::ReadByte(char& byte) {
    const Deadline deadline = ReadDeadline();
    for (;;) {
        if (queued.empty() && hungUp)
            return ReadResult::Failed;
        if (queued.empty() && babbling)
            Queue(controller->BabbleBytes(babbleChunk), false);
        if (queued.empty()) {
            SleepUntil(deadline); // a silent controller
            return ReadResult::TimedOut;
        }
        Chunk& chunk = queued.front();
        if (chunk.next == chunk.bytes.size()) {
            hungUp = chunk.hangUp;
            queued.pop_front();
            continue;
        }
        const Clock::time_point due = chunk.start + byteTime * static_cast<long>(chunk.next + 1);
        if (due > deadline) {
            SleepUntil(deadline);
            return ReadResult::TimedOut;
        }
        SleepUntil(due);
        byte = chunk.bytes[chunk.next++];
        return ReadResult::Byte;
    }
}

void SimTransport::DiscardInput() {
    const Clock::time_point now = Clock::now();
    // What has come in by now goes; what is still on its way keeps coming.
    while (!queued.empty()) {
        Chunk& chunk = queued.front();
        while (chunk.next < chunk.bytes.size() &&
               chunk.start + byteTime * static_cast<long>(chunk.next + 1) <= now)
            ++chunk.next;
        if (chunk.next < chunk.bytes.size())
            break;
        hungUp = hungUp || chunk.hangUp;
        queued.pop_front();
    }
}
