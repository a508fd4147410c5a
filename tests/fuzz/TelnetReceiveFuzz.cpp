// Fuzz target: the Telnet layer of rfc2217:// ports (TelnetSession, our own,
// built instrumented with the rest of the serial library) fed whatever a
// server might send.
//
// Input: one flag byte (its low six bits + 1: the chunk size the bytes
// arrive in; bit 6: the two sessions of the round trip agree on binary
// first), then the bytes. They are fed 64 times over into one session, as a
// server that keeps sending them would, and the data taken after each chunk
// as the transport does. Checked:
// - Bounded memory: after a chunk the data waiting is at most the chunk's
//   size, the answers owed never pass the output limit, and a COM-PORT
//   report holds at most what a subnegotiation keeps.
// - Bytes without 0xFF are data, every one of them, in order, but for the
//   NUL of CR NUL (the server never agreed to send in binary).
// - Data sent through one session and received by another, in any chunks,
//   comes out exactly as it went in, binary or not, and SendData makes of
//   it as many bytes as EncodedLength says (the transport counts by it).
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
            if (report && report->size() > TelnetSession::subnegotiationLimit - 2)
                Fail("a report holds more than a subnegotiation keeps");
        }
        data += TakeAll(session);
        session.Output().clear(); // sent, as the transport sends it
    }
    return data;
}

// Data as a side that does not send in binary means it: CR NUL is CR.
std::string WithoutCrNul(const std::string& bytes) {
    std::string data;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (!(bytes[i] == '\0' && i > 0 && bytes[i - 1] == '\r'))
            data += bytes[i];
    return data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::size_t chunk = (data[0] & 0x3F) + 1u;
    const bool binary = (data[0] & 0x40) != 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    TelnetSession hostile;
    hostile.Start();
    std::string endless;
    for (int i = 0; i < 64; ++i)
        endless += bytes;
    const std::string received = FeedInChunks(hostile, endless, chunk);
    if (bytes.find('\xFF') == std::string::npos && received != WithoutCrNul(endless))
        Fail("bytes without 0xFF did not all come through as data");

    TelnetSession sender, receiver;
    if (binary) {
        sender.Start();
        receiver.Start();
        for (int round = 0; round < 3; ++round) {
            receiver.Receive(sender.Output().data(), sender.Output().size());
            sender.Output().clear();
            sender.Receive(receiver.Output().data(), receiver.Output().size());
            receiver.Output().clear();
        }
    }
    sender.SendData(bytes.data(), bytes.size());
    std::size_t encoded = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        encoded += sender.EncodedLength(bytes.data(), bytes.size(), i);
    if (sender.Output().size() != encoded)
        Fail("SendData made another number of bytes than EncodedLength says");
    if (FeedInChunks(receiver, sender.Output(), chunk) != bytes)
        Fail("data sent through Telnet came out changed");
    return 0;
}
