#pragma once

#include "serial/PortTransport.h"
#include "serial/network/NetworkConnection.h"
#include "serial/network/TelnetSession.h"

// "rfc2217://HOST:PORT": Telnet with the COM-PORT-OPTION. Applying a mode
// sends SET-BAUDRATE, SET-DATASIZE, SET-PARITY and SET-STOPSIZE and waits a
// bounded time for the server to acknowledge each with the same value; it
// sends no modem-control requests (a serial server raises DTR and RTS when it
// opens its port, and passes data without them on a pseudo-terminal).
class Rfc2217Transport : public PortTransport {
public:
    // How long Apply waits for the option and the four acknowledgements.
    static constexpr int acknowledgeLimitMs = 2000;

    bool Open(const NetworkAddress& address, std::string& systemText);

    bool Apply(const SerialMode& mode, std::string& systemText) override;
    long Write(const char* data, std::size_t size) override;
    // A write is done when the connection has taken its bytes.
    void Drain() override {}
    ReadResult ReadByte(char& byte) override;

private:
    enum class Pump { Received, TimedOut, Failed };
    // Sends what the session owes the server, then takes in what has arrived,
    // waiting for it until the deadline.
    Pump ReceiveUntil(Deadline deadline);
    // False when the connection failed; what did not go out stays queued.
    bool SendOutput(Deadline deadline);
    // Waits until done() or the deadline; false with a reason otherwise.
    template <typename Done>
    bool AwaitServer(Done done, const char* what, Deadline deadline, std::string& reason);

    NetworkConnection connection;
    TelnetSession session;
};
