#pragma once

#include "serial/PortTransport.h"

#include <cstddef>
#include <memory>
#include <string>

struct SerialMode;

// The one port the device link holds, with blocking writes and single-byte
// reads under a total time-out (per byte requested plus a constant). The name
// it is opened with chooses how the bytes travel (see OpenPortTransport): a
// local serial device, or a serial server on the network. Every kind keeps
// the same contract, so nothing that holds a SerialPort asks which it is.
class SerialPort {
public:
    using ReadResult = PortTransport::ReadResult;

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the named port for reading and writing, exclusively. On failure
    // systemText holds a one-line reason, with a hint where the operator can
    // mend it (see PortOpenErrorText).
    bool Open(const std::string& name, std::string& systemText);
    // Takes a transport that is open already (a port known by a name of its own).
    void Open(std::unique_ptr<PortTransport> opened);
    void Close();
    bool IsOpen() const { return transport != nullptr; }

    // Raw 8-bit line with what mode names; no flow control.
    bool Apply(const SerialMode& mode, std::string& systemText);
    bool SetTimeouts(int readPerByteMs, int readConstantMs, int writePerByteMs,
                     int writeConstantMs);

    // Writes within the write time-out; returns the bytes written, or -1 when
    // the write failed before any byte went out.
    long Write(const char* data, std::size_t size);
    // Waits until what was written has left.
    void Drain();
    ReadResult ReadByte(char& byte);
    // Drops what the line holds unread (see PortTransport::DiscardInput), then
    // reads and drops what still arrives until nothing has come for quietMs,
    // for at most about limitMs in all. Returns the bytes that arrived late.
    std::string DiscardInput(int quietMs, int limitMs);

private:
    std::unique_ptr<PortTransport> transport;
};
