#include "serial/network/TelnetSession.h"

#include <libtelnet.h>

namespace {

// What we take part in: binary transmission both ways, and the COM-PORT-
// OPTION on our side only. Everything else (echo, suppress-go-ahead, ...)
// libtelnet refuses for us.
const telnet_telopt_t options[] = {
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {TelnetSession::comPortOption, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

// A report's value is at most four bytes (a baud rate); a longer one is cut.
constexpr std::size_t reportLimit = 4;

} // namespace

TelnetSession::TelnetSession() : telnet(telnet_init(options, &TelnetSession::OnEvent, 0, this)) {
    broken = telnet == nullptr;
}

TelnetSession::~TelnetSession() {
    if (telnet)
        telnet_free(telnet);
}

void TelnetSession::Start() {
    if (broken)
        return;
    telnet_negotiate(telnet, TELNET_WILL, comPortOption);
    telnet_negotiate(telnet, TELNET_WILL, TELNET_TELOPT_BINARY);
    telnet_negotiate(telnet, TELNET_DO, TELNET_TELOPT_BINARY);
}

void TelnetSession::Receive(const char* bytes, std::size_t size) {
    if (broken)
        return;
    if (taken == data.size()) {
        data.clear();
        taken = 0;
    }
    receiving = true;
    telnet_recv(telnet, bytes, size);
    receiving = false;
}

void TelnetSession::SendData(const char* bytes, std::size_t size) {
    if (!broken)
        telnet_send(telnet, bytes, size);
}

void TelnetSession::SendComPortCommand(unsigned char command, const std::string& value) {
    if (broken)
        return;
    const std::string payload = static_cast<char>(command) + value;
    telnet_subnegotiation(telnet, comPortOption, payload.data(), payload.size());
}

bool TelnetSession::TakeByte(char& byte) {
    if (taken == data.size())
        return false;
    byte = data[taken++];
    return true;
}

const std::string* TelnetSession::ComPortReport(unsigned char command) const {
    return command < reportCount && reported[command] ? &reports[command] : nullptr;
}

void TelnetSession::ForgetComPortReports() {
    for (bool& flag : reported)
        flag = false;
}

void TelnetSession::OnEvent(telnet_t*, telnet_event_t* event, void* self) {
    static_cast<TelnetSession*>(self)->Handle(*event);
}

void TelnetSession::Queue(const char* bytes, std::size_t size) {
    if (receiving && output.size() + size > outputLimit) {
        broken = true;
        return;
    }
    output.append(bytes, size);
}

void TelnetSession::Handle(const telnet_event_t& event) {
    switch (event.type) {
    case TELNET_EV_DATA:
        if (!broken)
            data.append(event.data.buffer, event.data.size);
        break;
    case TELNET_EV_SEND:
        Queue(event.data.buffer, event.data.size);
        break;
    case TELNET_EV_DO:
        if (event.neg.telopt == comPortOption)
            comPort = OptionState::Accepted;
        break;
    case TELNET_EV_DONT:
        if (event.neg.telopt == comPortOption)
            comPort = OptionState::Refused;
        break;
    case TELNET_EV_WONT:
        break;
    case TELNET_EV_SUBNEGOTIATION: {
        // The server's reports carry the client's command plus 100.
        if (event.sub.telopt != comPortOption || event.sub.size == 0)
            break;
        const int command = static_cast<unsigned char>(event.sub.buffer[0]) - 100;
        if (command < 0 || command >= reportCount)
            break;
        const std::size_t length =
            event.sub.size - 1 < reportLimit ? event.sub.size - 1 : reportLimit;
        reports[command].assign(event.sub.buffer + 1, length);
        reported[command] = true;
        break;
    }
    case TELNET_EV_COMPRESS:
    case TELNET_EV_ERROR:
        // Compression that we never agreed to could turn a few bytes into
        // megabytes of data; no sound serial server sends it.
        broken = true;
        break;
    default:
        break;
    }
}
