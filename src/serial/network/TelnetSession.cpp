#include "serial/network/TelnetSession.h"

namespace {

// Telnet's command bytes (RFC 854) and the options we take part in.
constexpr unsigned char iac = 255, dont = 254, doVerb = 253, wont = 252, will = 251, sb = 250,
                        se = 240;
constexpr unsigned char binary = 0, suppressGoAhead = 3;

bool WeTakePart(unsigned char option) {
    return option == binary || option == suppressGoAhead || option == TelnetSession::comPortOption;
}

// The server's side of the COM-PORT-OPTION would make us the access server.
bool TheyMayTakePart(unsigned char option) {
    return option == binary || option == suppressGoAhead;
}

std::string Command(unsigned char verb, unsigned char option) {
    return {static_cast<char>(iac), static_cast<char>(verb), static_cast<char>(option)};
}

} // namespace

void TelnetSession::Start() {
    Ask(will, comPortOption);
    Ask(will, binary);
    Ask(doVerb, binary);
}

void TelnetSession::Ask(unsigned char askVerb, unsigned char option) {
    (askVerb == will ? ours : theirs)[option] = Q::WantYes;
    Queue(Command(askVerb, option));
}

void TelnetSession::Receive(const char* bytes, std::size_t size) {
    if (broken)
        return;
    if (taken == data.size()) {
        data.clear();
        taken = 0;
    }
    heard = heard || size > 0;
    receiving = true;
    for (std::size_t i = 0; i < size && !broken; ++i)
        Take(static_cast<unsigned char>(bytes[i]));
    receiving = false;
}

void TelnetSession::Take(unsigned char byte) {
    switch (state) {
    case State::Data:
        if (byte == iac) {
            state = State::Iac;
            command.assign(1, static_cast<char>(iac));
        } else {
            TakeData(byte);
        }
        break;
    case State::Iac:
        AfterIac(byte);
        break;
    case State::Option:
        command += static_cast<char>(byte);
        Note("telnet-received", command);
        state = State::Data;
        Negotiate(verb, byte);
        break;
    case State::Sub:
        if (byte == iac) {
            state = State::SubIac; // kept in the note once it is known what follows
            break;
        }
        KeepInSubnegotiation(byte);
        break;
    case State::SubIac:
        if (byte == se || byte == iac) {
            Keep(iac);
            if (byte == iac) {
                state = State::Sub;
                KeepInSubnegotiation(byte);
                break;
            }
            Keep(se);
            state = State::Data;
            EndSubnegotiation();
            break;
        }
        // IAC and anything but IAC or SE cut the subnegotiation off; the
        // command that follows counts as one.
        Note("telnet-received", command);
        command.assign(1, static_cast<char>(iac));
        AfterIac(byte);
        break;
    }
}

void TelnetSession::Keep(unsigned char byte) {
    if (command.size() < subnegotiationLimit + 4)
        command += static_cast<char>(byte);
}

void TelnetSession::KeepInSubnegotiation(unsigned char byte) {
    Keep(byte);
    if (subnegotiation.size() < subnegotiationLimit)
        subnegotiation += static_cast<char>(byte);
    else
        subnegotiationTooLong = true;
}

void TelnetSession::AfterIac(unsigned char byte) {
    if (byte == iac) {
        state = State::Data;
        TakeData(byte);
        return;
    }
    command += static_cast<char>(byte);
    if (byte >= will && byte <= dont) {
        verb = byte;
        state = State::Option;
    } else if (byte == sb) {
        subnegotiation.clear();
        subnegotiationTooLong = false;
        state = State::Sub;
    } else {
        // Go-ahead, no-operation and the other two-byte commands ask nothing of us.
        Note("telnet-received", command);
        state = State::Data;
    }
}

void TelnetSession::TakeData(unsigned char byte) {
    // CR NUL is a lone CR from a side that does not send in binary.
    const bool crNul = lastWasCr && byte == 0 && !TheySendBinary();
    lastWasCr = byte == '\r';
    if (crNul)
        return;
    if (!dropping) {
        data += static_cast<char>(byte);
    } else if (dropped.size() < outputLimit) {
        dropped += static_cast<char>(byte);
    }
}

void TelnetSession::Negotiate(unsigned char received, unsigned char option) {
    const bool aboutUs = received == doVerb || received == dont;
    Q& q = (aboutUs ? ours : theirs)[option];
    const unsigned char yes = aboutUs ? will : doVerb, no = aboutUs ? wont : dont;
    if (received == will || received == doVerb) {
        if (q == Q::WantYes) {
            q = Q::Yes; // our request granted
        } else if (q == Q::No) {
            const bool agree = aboutUs ? WeTakePart(option) : TheyMayTakePart(option);
            if (agree)
                q = Q::Yes;
            Queue(Command(agree ? yes : no, option));
        }
    } else if (q != Q::No) {
        // A refusal of our request needs no answer; switching off does.
        if (q == Q::Yes)
            Queue(Command(no, option));
        q = Q::No;
    }
}

void TelnetSession::EndSubnegotiation() {
    Note("telnet-received", command);
    // Only the option's reports, once it is agreed: the server's code for a
    // client command is that command plus 100.
    if (subnegotiationTooLong || subnegotiation.size() < 2 ||
        static_cast<unsigned char>(subnegotiation[0]) != comPortOption ||
        ours[comPortOption] != Q::Yes)
        return;
    const int report = static_cast<unsigned char>(subnegotiation[1]) - 100;
    if (report < 0 || report >= reportCount)
        return;
    reports[report] = subnegotiation.substr(2);
    reported[report] = true;
    if (dropping && report == dropUntil)
        StopDropping();
}

void TelnetSession::SendData(const char* bytes, std::size_t size) {
    if (broken)
        return;
    for (std::size_t i = 0; i < size; ++i) {
        output += bytes[i];
        if (EncodedLength(bytes, size, i) == 2)
            output += bytes[i] == '\r' ? '\0' : bytes[i];
    }
}

std::size_t TelnetSession::EncodedLength(const char* bytes, std::size_t size,
                                         std::size_t at) const {
    if (static_cast<unsigned char>(bytes[at]) == iac)
        return 2;
    // CR LF is a line end either way; a CR followed by anything else, or by
    // nothing yet, needs its NUL.
    const bool loneCr = bytes[at] == '\r' && (at + 1 == size || bytes[at + 1] != '\n');
    return loneCr && !WeSendBinary() ? 2 : 1;
}

void TelnetSession::SendComPortCommand(unsigned char code, const std::string& value) {
    std::string bytes = {static_cast<char>(iac), static_cast<char>(sb),
                         static_cast<char>(comPortOption), static_cast<char>(code)};
    for (char byte : value) {
        bytes += byte;
        if (static_cast<unsigned char>(byte) == iac)
            bytes += byte;
    }
    bytes += {static_cast<char>(iac), static_cast<char>(se)};
    Queue(bytes);
}

bool TelnetSession::TakeByte(char& byte) {
    if (taken == data.size())
        return false;
    byte = data[taken++];
    return true;
}

void TelnetSession::DropDataUntilReport(unsigned char report) {
    dropped = data.substr(taken);
    data.clear();
    taken = 0;
    dropping = true;
    dropUntil = report;
    if (report < reportCount)
        reported[report] = false;
}

void TelnetSession::StopDropping() {
    if (dropping && !dropped.empty())
        Note("discarded", dropped);
    dropping = false;
    dropped.clear();
}

TelnetSession::OptionState TelnetSession::ComPortOptionState() const {
    switch (ours[comPortOption]) {
    case Q::Yes:
        return OptionState::Accepted;
    case Q::WantYes:
        return OptionState::Pending;
    default:
        return OptionState::Refused;
    }
}

const std::string* TelnetSession::ComPortReport(unsigned char report) const {
    return report < reportCount && reported[report] ? &reports[report] : nullptr;
}

void TelnetSession::ForgetComPortReports() {
    reported.fill(false);
}

void TelnetSession::Queue(const std::string& bytes) {
    if (receiving && output.size() + bytes.size() > outputLimit) {
        broken = true;
        return;
    }
    Note("telnet-sent", bytes);
    output += bytes;
}

void TelnetSession::Note(const char* what, const std::string& bytes) const {
    if (notes)
        notes(what, bytes);
}

bool TelnetSession::WeSendBinary() const {
    return ours[binary] == Q::Yes;
}

bool TelnetSession::TheySendBinary() const {
    return theirs[binary] == Q::Yes;
}
