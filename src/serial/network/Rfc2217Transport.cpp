// What real servers do, as the tests have seen them; the next server that
// behaves otherwise is described here.
//
// ser2net 4.3 (Debian 12), telnet(rfc2217) accepter:
// - on a connection it offers WILL and DO SUPPRESS-GO-AHEAD, WILL ECHO, DONT
//   ECHO, DO and WILL BINARY and asks for the COM-PORT-OPTION itself, before
//   it reads a byte of ours; then it reports the modem state once (0 on a
//   pseudo-terminal);
// - it acknowledges each of the four settings with the value now set: in
//   front of a pseudo-terminal the speed and the stop bits as asked, always 8
//   data bits without parity; an odd baud rate such as 12345 is acknowledged
//   as asked; SET-CONTROL "no flow control" is acknowledged as asked;
// - it leaves values it cannot take (a data size, parity or stop size of 9)
//   unanswered, so the wait for them ends at its limit;
// - PURGE-DATA is acknowledged at once, ahead of settings sent before it;
// - data passes without any DTR or RTS request;
// - only one connection holds the device: a second one, on any accepter of
//   that device, gets DO COM-PORT-OPTION, then "Port's device already in
//   use" CR LF, and is closed (at times reset). So is one made within about
//   0.2 s of a connection to a raw accepter of the same device, while the
//   server still releases it;
// - a reply left unread in the device when a connection broke is still there
//   for the next one.
//
// ser2net's plain telnet accepter answers WILL COM-PORT-OPTION with DONT at
// once.
//
// pyserial 3.5's example server (rfc2217_server.py):
// - it serves one connection at a time; when one ends it waits for its
//   serial time-out (3 s) before it takes the next, so a connection made
//   meanwhile hears nothing for up to 3 s;
// - then it offers WILL ECHO, WILL SUPPRESS-GO-AHEAD, DO BINARY and WILL
//   COM-PORT-OPTION (the server's side, which we refuse), and takes up ours;
// - it acknowledges the settings, SET-CONTROL and PURGE-DATA as asked.
#include "serial/network/Rfc2217Transport.h"

#include "serial/SerialMode.h"
#include "serial/SystemError.h"
#include "serial/network/ComPortOption.h"

#include <algorithm>
#include <cerrno>

namespace {

// Data taken in while waiting for acknowledgements stays queued for the reads
// to come; a server that sends more than this first is not answering.
constexpr std::size_t dataWhileWaitingLimit = 65536;
constexpr std::size_t receiveChunk = 512;
// As much of what a server said before it closed as a reason shows.
constexpr std::size_t wordsLimit = 100;

std::string Seconds(int limitMs) {
    return std::to_string(limitMs / 1000) + " s";
}

} // namespace

bool Rfc2217Transport::Open(const NetworkAddress& to, std::string& systemText) {
    address = to;
    openEnd = DeadlineIn(openLimitMs);
    connection.SetNotes(Notes());
    return Connect(NetworkConnection::connectLimitMs, systemText);
}

bool Rfc2217Transport::Connect(int limitMs, std::string& reason) {
    return connection.Connect(address, reason, limitMs) && StartSession(reason);
}

bool Rfc2217Transport::StartSession(std::string& reason) {
    session = TelnetSession();
    session.SetNotes(Notes());
    session.Start();
    if (!SendOutput(openEnd)) {
        reason = SystemErrorText(ECONNRESET);
        return false;
    }
    return true;
}

bool Rfc2217Transport::Reconnect(Deadline deadline) {
    std::string ignored; // the close before says best what went wrong
    return connection.Reconnect(address, deadline) && StartSession(ignored);
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
Rfc2217Transport::Outcome Rfc2217Transport::AwaitServer(Done done, Deadline deadline) {
    while (!done()) {
        if (session.DataWaiting() > dataWhileWaitingLimit)
            return Outcome::Flooded;
        const Pump pump = ReceiveUntil(deadline);
        if (pump == Pump::Failed)
            return Outcome::Closed;
        if (pump == Pump::TimedOut && !done())
            return Outcome::TimedOut;
    }
    return Outcome::Done;
}

std::string Rfc2217Transport::WaitReason(Outcome outcome, const std::string& what, int limitMs) {
    if (outcome == Outcome::Flooded)
        return "the server sent data and no " + what;
    if (outcome == Outcome::TimedOut) {
        return session.Heard() ? "no " + what + " within " + Seconds(limitMs)
                               : "the server sent nothing within " + Seconds(limitMs);
    }
    // What the server said before it closed, such as that its device is in
    // use, is the reason; it is no reply of the controller's.
    std::string words;
    for (char byte = 0; session.TakeByte(byte);) {
        const bool printable = byte >= 0x20 && byte < 0x7F;
        if ((printable || !words.empty()) && words.size() < wordsLimit)
            words += printable ? byte : ' ';
    }
    words.erase(words.find_last_not_of(' ') + 1);
    return OneLineReason("the server closed the connection" +
                         (words.empty() ? std::string() : ": \"" + words + "\""));
}

Rfc2217Transport::Outcome Rfc2217Transport::Negotiate(const SerialMode& mode, Deadline deadline,
                                                      std::string& reason) {
    const int limitMs = openLimitMs;
    const auto decided = [this] {
        return session.ComPortOptionState() != TelnetSession::OptionState::Pending;
    };
    Outcome outcome = AwaitServer(decided, deadline);
    if (outcome != Outcome::Done) {
        reason = WaitReason(outcome, "acceptance of the COM-PORT-OPTION", limitMs);
        return outcome;
    }
    if (session.ComPortOptionState() == TelnetSession::OptionState::Refused) {
        reason = "the server refused the COM-PORT-OPTION (a plain Telnet server: use socket://, "
                 "or an RFC 2217 accepter)";
        return Outcome::Refused;
    }
    const auto settings = ComPortSettings(mode);
    session.ForgetComPortReports();
    for (const ComPortSetting& setting : settings)
        session.SendComPortCommand(setting.command, setting.value);
    const auto missing = [&]() -> const ComPortSetting* {
        for (const ComPortSetting& setting : settings)
            if (!session.ComPortReport(setting.command))
                return &setting;
        return nullptr;
    };
    outcome =
        SendOutput(deadline) ? AwaitServer([&] { return !missing(); }, deadline) : Outcome::Closed;
    if (outcome != Outcome::Done) {
        const ComPortSetting* first = missing();
        reason = WaitReason(outcome,
                            std::string("acknowledgement of the ") +
                                (first ? ComPortSettingName(first->command) : "settings"),
                            limitMs);
        return outcome;
    }
    for (const ComPortSetting& setting : settings) {
        const std::string& value = *session.ComPortReport(setting.command);
        if (!SameComPortValue(value, setting.value)) {
            reason = OneLineReason("the server set " +
                                   DescribeComPortValue(setting.command, value) + " rather than " +
                                   DescribeComPortValue(setting.command, setting.value));
            return Outcome::Differs;
        }
    }
    return Outcome::Done;
}

bool Rfc2217Transport::Apply(const SerialMode& mode, std::string& systemText) {
    // As on a local port: a mode without a baud rate or data size is refused.
    if (!NamesSpeedAndDataBits(mode)) {
        systemText = SystemErrorText(EINVAL);
        return false;
    }
    const bool first = !applied;
    applied = true;
    const Deadline deadline = first ? openEnd : DeadlineIn(openLimitMs);
    for (std::string reason;;) {
        const Outcome outcome = Negotiate(mode, deadline, reason);
        if (outcome == Outcome::Done)
            return true;
        if (outcome != Outcome::Closed || !first || !Reconnect(deadline)) {
            systemText = reason;
            return false;
        }
    }
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
    // written. An escaped byte cut in two still owes its second half, or the
    // server would take the next byte for a command (0xFF) or a line end (CR).
    std::size_t written = 0, encoded = 0;
    for (; written < size; ++written) {
        const std::size_t length = session.EncodedLength(data, size, written);
        if (encoded + length > static_cast<std::size_t>(sent))
            break;
        encoded += length;
    }
    const bool cutInTwo = encoded < static_cast<std::size_t>(sent);
    output = cutInTwo ? output.substr(static_cast<std::size_t>(sent), 1) : std::string();
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

void Rfc2217Transport::DiscardInput() {
    // What arrives before the acknowledgement the server sent before it
    // purged: that goes too.
    const ComPortSetting purge = PurgeReceivedData();
    session.DropDataUntilReport(purge.command);
    session.SendComPortCommand(purge.command, purge.value);
    Deadline deadline = DeadlineIn(purgeLimitMs);
    if (openEnd > std::chrono::steady_clock::now()) // within the open, and its limit
        deadline = std::min(deadline, openEnd);
    const auto acknowledged = [&] { return session.ComPortReport(purge.command) != nullptr; };
    if (SendOutput(deadline) && AwaitServer(acknowledged, deadline) == Outcome::Done)
        return;
    session.StopDropping();
    Note("purge-unacknowledged");
}
