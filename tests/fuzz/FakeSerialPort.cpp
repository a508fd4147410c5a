// SerialPort over FakeLine, for fuzz targets. Linked ahead of the platform
// library, it replaces the real port (and SystemErrorText with it, so that
// none of the real file is pulled in).
#include "FakeSerialPort.h"

#include "platform/SerialPort.h"

namespace FakeLine {

std::string bytes;
std::size_t position = 0;
bool endFails = false;
long timeouts = 0;
std::string written;

} // namespace FakeLine

std::string SystemErrorText(int errorNumber) {
    return "error " + std::to_string(errorNumber);
}

SerialPort::~SerialPort() = default;

bool SerialPort::Open(const std::string&, std::string&) {
    fd = 0;
    return true;
}

void SerialPort::Close() {
    fd = -1;
}

bool SerialPort::Apply(const SerialMode&, std::string&) {
    return true;
}

bool SerialPort::SetTimeouts(int, int, int, int) {
    return true;
}

long SerialPort::Write(const char* data, std::size_t size) {
    FakeLine::written.append(data, size);
    return static_cast<long>(size);
}

void SerialPort::Drain() {}

SerialPort::ReadResult SerialPort::ReadByte(char& byte) {
    if (FakeLine::position < FakeLine::bytes.size()) {
        byte = FakeLine::bytes[FakeLine::position++];
        return ReadResult::Byte;
    }
    if (FakeLine::endFails)
        return ReadResult::Failed;
    ++FakeLine::timeouts;
    return ReadResult::TimedOut;
}
