#pragma once

#include "serial/PortTransport.h"
#include "serial/network/NetworkConnection.h"

// "socket://HOST:PORT": a raw TCP connection to a serial server that is set
// up on its own side. Baud rate and framing are the server's; a mode is
// checked as on every port and otherwise unused.
class TcpTransport : public PortTransport {
public:
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
    NetworkConnection connection;
    char received[512] = {};
    std::size_t next = 0; // the first byte of received not yet read
    std::size_t end = 0;  // one past the last byte received
};
