#pragma once

#include "serial/PortTransport.h"
#include "serial/network/NetworkAddress.h"
#include "serial/network/NetworkConnection.h"
#include "serial/network/TelnetSession.h"

// "rfc2217://HOST:PORT": Telnet with the COM-PORT-OPTION. Applying a mode
// waits for the server to take up the option, sends SET-BAUDRATE,
// SET-DATASIZE, SET-PARITY, SET-STOPSIZE and SET-CONTROL "no flow control",
// and waits for the server to acknowledge each with the same value, all
// within a bounded time; it sends no modem-control requests (a serial server
// raises DTR and RTS when it opens its port, and passes data without them on
// a pseudo-terminal). Discarding input purges the server's buffer too.
class Rfc2217Transport : public PortTransport {
public:
    // The open, from connecting to the last acknowledgement of the first
    // Apply, ends within this; so does each later Apply.
    static constexpr int openLimitMs = 5000;
    // The longest wait for the acknowledgement of a purge; one made during
    // the open ends within the open's limit.
    static constexpr int purgeLimitMs = 1000;

    bool Open(const NetworkAddress& to, std::string& systemText);

    bool Apply(const SerialMode& mode, std::string& systemText) override;
    long Write(const char* data, std::size_t size) override;
    // A write is done when the connection has taken its bytes.
    void Drain() override {}
    ReadResult ReadByte(char& byte) override;
    void DiscardInput() override;

private:
    enum class Pump { Received, TimedOut, Failed };
    enum class Outcome { Done, Closed, TimedOut, Flooded, Refused, Differs };

    // Connects and offers the options afresh.
    bool Connect(int limitMs, std::string& reason);
    bool StartSession(std::string& reason);
    // A server that closes the connection while the first Apply waits may be
    // releasing its device still: it is called again, within the open's limit.
    bool Reconnect(Deadline deadline);
    Outcome Negotiate(const SerialMode& mode, Deadline deadline, std::string& reason);
    // Sends what the session owes the server, then takes in what has arrived,
    // waiting for it until the deadline.
    Pump ReceiveUntil(Deadline deadline);
    // False when the connection failed; what did not go out stays queued.
    bool SendOutput(Deadline deadline);
    // Waits until done() or the deadline.
    template <typename Done> Outcome AwaitServer(Done done, Deadline deadline);
    // Why a wait for what ended without it; the time-out of limitMs.
    std::string WaitReason(Outcome outcome, const std::string& what, int limitMs);

    NetworkAddress address;
    NetworkConnection connection;
    TelnetSession session;
    Deadline openEnd{};
    bool applied = false; // the first Apply has run: no more calling again
};
