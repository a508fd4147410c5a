#include "serial/SerialPort.h"

#include "serial/SystemError.h"

#include <cerrno>

SerialPort::~SerialPort() = default;

bool SerialPort::Open(const std::string& name, std::string& systemText) {
    Close();
    transport = OpenPortTransport(name, systemText);
    return transport != nullptr;
}

void SerialPort::Open(std::unique_ptr<PortTransport> opened) {
    Close();
    transport = std::move(opened);
}

void SerialPort::Close() {
    transport.reset();
}

bool SerialPort::Apply(const SerialMode& mode, std::string& systemText) {
    if (!transport) {
        systemText = SystemErrorText(EBADF);
        return false;
    }
    return transport->Apply(mode, systemText);
}

bool SerialPort::SetTimeouts(int readPerByteMs, int readConstantMs, int writePerByteMs,
                             int writeConstantMs) {
    if (!transport || readPerByteMs < 0 || readConstantMs < 0 || writePerByteMs < 0 ||
        writeConstantMs < 0)
        return false;
    return transport->SetTimeouts({readPerByteMs, readConstantMs, writePerByteMs, writeConstantMs});
}

long SerialPort::Write(const char* data, std::size_t size) {
    return transport ? transport->Write(data, size) : -1;
}

void SerialPort::Drain() {
    if (transport)
        transport->Drain();
}

SerialPort::ReadResult SerialPort::ReadByte(char& byte) {
    return transport ? transport->ReadByte(byte) : ReadResult::Failed;
}

std::string SerialPort::DiscardInput(int quietMs, int limitMs) {
    std::string late;
    if (!transport)
        return late;
    transport->DiscardInput();
    const PortTimeouts kept = transport->Timeouts();
    transport->SetTimeouts({0, quietMs, kept.writePerByte, kept.writeConstant});
    const Deadline end = DeadlineIn(limitMs);
    char byte = 0;
    while (MillisecondsLeft(end) > 0 && transport->ReadByte(byte) == ReadResult::Byte)
        late.push_back(byte);
    transport->SetTimeouts(kept);
    return late;
}
