// rfc2217:// on Windows waits for the Telnet layer of our own that replaces
// libtelnet, which Windows does not have: until then such a port refuses to
// open and says why.
#include "serial/network/Rfc2217Transport.h"

TelnetSession::TelnetSession() = default;
TelnetSession::~TelnetSession() = default;

bool Rfc2217Transport::Open(const NetworkAddress&, std::string& systemText) {
    systemText = "rfc2217:// ports are not available in this Windows build yet; use socket://";
    return false;
}

bool Rfc2217Transport::Apply(const SerialMode&, std::string&) {
    return false;
}

long Rfc2217Transport::Write(const char*, std::size_t) {
    return -1;
}

PortTransport::ReadResult Rfc2217Transport::ReadByte(char&) {
    return ReadResult::Failed;
}
