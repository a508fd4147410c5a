#pragma once

#include "serial/PortTransport.h"
#include "serial/network/NetworkAddress.h"
#include "serial/network/NetworkConnection.h"

// "socket://HOST:PORT": a raw TCP connection to a serial server that is set
// up on its own side. Baud rate and framing are the server's; a mode is
// checked as on every port and otherwise unused. A server that closes the
// connection before anything was written, as ser2net does while it still
// releases the device after an earlier connection, is called again within
// reconnectLimitMs of the open.
class TcpTransport : public PortTransport {
public:
    static constexpr int reconnectLimitMs = 5000;

    bool Open(const NetworkAddress& address, std::string& systemText);

    bool Apply(const SerialMode& mode, std::string& systemText) override;
    long Write(const char* data, std::size_t size) override;
    // A write is done when the connection has taken its bytes.
    void Drain() override {}
    ReadResult ReadByte(char& byte) override;
    // What this side holds: the bytes received and not yet read, and what the
    // connection has taken in meanwhile.
    void DiscardInput() override;

private:
    NetworkAddress address;
    NetworkConnection connection;
    Deadline openEnd{};
    bool wrote = false; // a close after a write is a hang-up, not a refusal
    char received[512] = {};
    std::size_t next = 0; // the first byte of received not yet read
    std::size_t end = 0;  // one past the last byte received
};
