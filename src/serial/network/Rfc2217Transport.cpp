// What real servers do, as the tests have seen them; the next server that
// behaves otherwise is described here.
//
// ser2net 4.3 (Debian 12), telnet(rfc2217) accepter:
// - on a connection it offers BINARY and asks for the COM-PORT-OPTION itself;
// - it acknowledges each of the four settings with the value now set: in
//   front of a pseudo-terminal the speed and the stop bits as asked, always 8
//   data bits without parity; an odd baud rate such as 12345 is acknowledged
//   as asked;
// - it leaves values it cannot take (a data size, parity or stop size of 9)
//   unanswered, so the wait for them ends at its limit;
// - it reports the modem state once (0 on a pseudo-terminal), and data passes
//   without any DTR or RTS request;
// - only one connection holds the device: a second one gets "Port's device
//   already in use" and is closed;
// - a reply left unread in the device when a connection broke is still there
//   for the next one.
#include "serial/network/Rfc2217Transport.h"

#include "serial/SerialMode.h"
#include "serial/SystemError.h"
#include "serial/network/ComPortOption.h"

#include <cerrno>

namespace {

// Data taken in while waiting for acknowledgements stays queued for the reads
// to come; a server that sends more than this first is not answering.
constexpr std::size_t dataWhileWaitingLimit = 65536;
constexpr std::size_t receiveChunk = 512;

} // namespace

bool Rfc2217Transport::Open(const NetworkAddress& address, std::string& systemText) {
    if (!connection.Connect(address, systemText))
        return false;
    session.Start();
    if (!SendOutput(DeadlineIn(acknowledgeLimitMs))) {
        systemText = SystemErrorText(ECONNRESET);
        return false;
    }
    return true;
}

bool Rfc2217Transport::SendOutput(Deadline deadline) {
    std::string& output = session.Output();
    if (output.empty())
        return true;
    const long sent = connection.Send(output.data(), output.size(), deadline);
    if (sent < 0)
        return false;
    output.erase(0, static_cast<std::size_t>(sent));
    return true;
}

Rfc2217Transport::Pump Rfc2217Transport::ReceiveUntil(Deadline deadline) {
    char chunk[receiveChunk];
    for (;;) {
        if (!SendOutput(Deadline{}))
            return Pump::Failed;
        const long n = connection.Receive(chunk, sizeof chunk);
        if (n < 0)
            return Pump::Failed; // closed by the server, or reset
        if (n > 0) {
            session.Receive(chunk, static_cast<std::size_t>(n));
            return session.Broken() ? Pump::Failed : Pump::Received;
        }
        const auto wait = connection.WaitReadable(deadline);
        if (wait != Readiness::Readable)
            return wait == Readiness::TimedOut ? Pump::TimedOut : Pump::Failed;
    }
}

template <typename Done>
bool Rfc2217Transport::AwaitServer(Done done, const char* what, Deadline deadline,
                                   std::string& reason) {
    while (!done()) {
        if (session.DataWaiting() > dataWhileWaitingLimit) {
            reason = std::string("the server sent data and no ") + what;
            return false;
        }
        const Pump pump = ReceiveUntil(deadline);
        if (pump == Pump::Failed) {
            reason = "the server closed the connection";
            return false;
        }
        if (pump == Pump::TimedOut && !done()) {
            reason = std::string("no ") + what + " within " +
                     std::to_string(acknowledgeLimitMs / 1000) + " s";
            return false;
        }
    }
    return true;
}

bool Rfc2217Transport::Apply(const SerialMode& mode, std::string& systemText) {
    // As on a local port: a mode without a baud rate or data size is refused.
    if (mode.baud <= 0 || mode.dataBits < 5 || mode.dataBits > 8) {
        systemText = SystemErrorText(EINVAL);
        return false;
    }
    const Deadline deadline = DeadlineIn(acknowledgeLimitMs);
    const auto decided = [this] {
        return session.ComPortOptionState() != TelnetSession::OptionState::Pending;
    };
    // libtelnet answers a refusal of an option we offer silently, so a server
    // that refuses it shows as one that never takes it up.
    if (!AwaitServer(decided, "acceptance of the COM-PORT-OPTION", deadline, systemText))
        return false;
    if (session.ComPortOptionState() == TelnetSession::OptionState::Refused) {
        systemText = "the server refused the COM-PORT-OPTION";
        return false;
    }
    const auto settings = ComPortSettings(mode);
    session.ForgetComPortReports();
    for (const ComPortSetting& setting : settings)
        session.SendComPortCommand(setting.command, setting.value);
    const auto acknowledged = [&] {
        for (const ComPortSetting& setting : settings)
            if (!session.ComPortReport(setting.command))
                return false;
        return true;
    };
    if (!SendOutput(deadline)) {
        systemText = "the server closed the connection";
        return false;
    }
    if (!AwaitServer(acknowledged, "acknowledgement of the settings", deadline, systemText))
        return false;
    for (const ComPortSetting& setting : settings) {
        const std::string& value = *session.ComPortReport(setting.command);
        if (value != setting.value) {
            systemText = OneLineReason(
                "the server set " + DescribeComPortValue(setting.command, value) + " rather than " +
                DescribeComPortValue(setting.command, setting.value));
            return false;
        }
    }
    return true;
}

long Rfc2217Transport::Write(const char* data, std::size_t size) {
    const Deadline deadline = WriteDeadline(size);
    // Answers owed to the server go first; data waits behind them.
    if (!SendOutput(deadline))
        return -1;
    if (!session.Output().empty())
        return 0;
    session.SendData(data, size);
    std::string& output = session.Output();
    const long sent = connection.Send(output.data(), output.size(), deadline);
    if (sent < 0) {
        output.clear();
        return -1;
    }
    // Count the data bytes that went out whole; what did not go out is not
    // written. A doubled 0xFF cut in two still owes its second half, or the
    // server would take the next byte for a command.
    std::size_t written = 0, encoded = 0;
    for (; written < size; ++written) {
        const std::size_t length = static_cast<unsigned char>(data[written]) == 0xFF ? 2 : 1;
        if (encoded + length > static_cast<std::size_t>(sent))
            break;
        encoded += length;
    }
    const bool cutInTwo = encoded < static_cast<std::size_t>(sent);
    output.assign(cutInTwo ? "\xFF" : "");
    return static_cast<long>(written + (cutInTwo ? 1 : 0));
}

PortTransport::ReadResult Rfc2217Transport::ReadByte(char& byte) {
    if (session.TakeByte(byte))
        return ReadResult::Byte;
    // Only an empty queue takes in more, so at most one chunk's data waits.
    const Deadline deadline = ReadDeadline();
    for (;;) {
        const Pump pump = ReceiveUntil(deadline);
        if (session.TakeByte(byte))
            return ReadResult::Byte;
        // A connection the server closed is a line that hung up.
        if (pump == Pump::Failed)
            return ReadResult::Failed;
        if (pump == Pump::TimedOut)
            return ReadResult::TimedOut;
    }
}
