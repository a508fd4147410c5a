// Fuzz target: the receive path of rfc2217:// ports (TelnetSession over
// libtelnet) fed whatever a server might send.
//
// Input: one flag byte (its low six bits + 1: the chunk size the bytes
// arrive in), then the bytes. They are fed 64 times over into one session,
// as a server that keeps sending them would, and the data taken after each
// chunk as the transport does. Checked:
// - Bounded memory: after a chunk the data waiting is at most the chunk's
//   size, the answers owed never pass the output limit, and a COM-PORT
//   report holds at most four bytes.
// - Bytes without 0xFF are data, every one of them, in order.
// - Data sent through one session and received by another, in any chunks,
//   comes out exactly as it went in (0xFF doubled and undoubled).
#include "serial/network/TelnetSession.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "Telnet receive fuzz: %s\n", what);
    std::abort();
}

std::string TakeAll(TelnetSession& session) {
    std::string data;
    for (char byte = 0; session.TakeByte(byte);)
        data += byte;
    return data;
}

// Feeds bytes in chunks; returns the data received.
std::string FeedInChunks(TelnetSession& session, const std::string& bytes, std::size_t chunk) {
    std::string data;
    for (std::size_t at = 0; at < bytes.size() && !session.Broken(); at += chunk) {
        const std::size_t size = std::min(chunk, bytes.size() - at);
        session.Receive(bytes.data() + at, size);
        if (session.DataWaiting() > size)
            Fail("more data waits than the chunk brought");
        if (session.Output().size() > TelnetSession::outputLimit)
            Fail("the answers owed passed the output limit");
        for (int command = 0; command <= 12; ++command) {
            const std::string* report = session.ComPortReport(static_cast<unsigned char>(command));
            if (report && report->size() > 4)
                Fail("a report holds more than four bytes");
        }
        data += TakeAll(session);
        session.Output().clear(); // sent, as the transport sends it
    }
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::size_t chunk = (data[0] & 0x3F) + 1u;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    TelnetSession hostile;
    hostile.Start();
    std::string endless;
    for (int i = 0; i < 64; ++i)
        endless += bytes;
    const std::string received = FeedInChunks(hostile, endless, chunk);
    if (bytes.find('\xFF') == std::string::npos && received != endless)
        Fail("bytes without 0xFF did not all come through as data");

    TelnetSession sender, receiver;
    sender.SendData(bytes.data(), bytes.size());
    if (FeedInChunks(receiver, sender.Output(), chunk) != bytes)
        Fail("data sent through Telnet came out changed");
    return 0;
}
