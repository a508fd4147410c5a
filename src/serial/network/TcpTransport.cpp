#include "serial/network/TcpTransport.h"

#include "serial/SerialMode.h"
#include "serial/SystemError.h"

#include <cerrno>

bool TcpTransport::Open(const NetworkAddress& to, std::string& systemText) {
    address = to;
    openEnd = DeadlineIn(reconnectLimitMs);
    connection.SetNotes(Notes());
    return connection.Connect(address, systemText);
}

bool TcpTransport::Apply(const SerialMode& mode, std::string& systemText) {
    if (NamesSpeedAndDataBits(mode))
        return true;
    systemText = SystemErrorText(EINVAL);
    return false;
}

long TcpTransport::Write(const char* data, std::size_t size) {
    wrote = true;
    return connection.Send(data, size, WriteDeadline(size));
}

PortTransport::ReadResult TcpTransport::ReadByte(char& byte) {
    if (next == end) {
        next = end = 0;
        const Deadline deadline = ReadDeadline();
        long n = connection.Receive(received, sizeof received);
        while (n <= 0) {
            if (n < 0) {
                // A connection the server closed is a line that hung up.
                if (wrote || !connection.Reconnect(address, openEnd))
                    return ReadResult::Failed;
                n = connection.Receive(received, sizeof received);
                continue;
            }
            const auto wait = connection.WaitReadable(deadline);
            if (wait == Readiness::TimedOut)
                return ReadResult::TimedOut;
            n = wait == Readiness::Failed ? -1 : connection.Receive(received, sizeof received);
        }
        end = static_cast<std::size_t>(n);
    }
    byte = received[next++];
    return ReadResult::Byte;
}

void TcpTransport::DiscardInput() {
    next = end = 0;
    // A closed connection reads as -1 here and again at the next read: its
    // end is not lost. The bound holds against a peer that sends faster than
    // this loop drops; what it leaves goes as bytes that arrive late.
    constexpr int maxReceives = 2048;
    for (int i = 0; i < maxReceives && connection.Receive(received, sizeof received) > 0; ++i) {
    }
}
