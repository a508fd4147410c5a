#pragma once

#include "serial/Deadline.h"
#include "serial/PortNotes.h"

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

struct SerialMode;

// Read and write time-outs of a port, in milliseconds: a read waits at most
// per byte requested plus the constant, a write of n bytes per byte times n
// plus the constant.
struct PortTimeouts {
    int readPerByte = 0;
    int readConstant = 0;
    int writePerByte = 0;
    int writeConstant = 0;
};

// One way of carrying the controller's bytes: a local serial device, or a
// connection to a serial server on the network. Every kind keeps the same
// contract, so nothing that holds a port needs to know which kind it is: a
// one-byte read returns a byte, times out without an error, or fails (a line
// that hung up, a connection the other side closed); a write is done when
// its bytes are handed over, within its time-out.
class PortTransport {
public:
    enum class ReadResult { Byte, TimedOut, Failed };

    virtual ~PortTransport() = default;

    // The line settings; on failure systemText holds a one-line reason.
    virtual bool Apply(const SerialMode& mode, std::string& systemText) = 0;
    // Keeps the time-outs; a transport whose system enforces them itself
    // (Windows' COMMTIMEOUTS) hands them over here too, false when refused.
    virtual bool SetTimeouts(const PortTimeouts& timeouts) {
        limits = timeouts;
        return true;
    }
    const PortTimeouts& Timeouts() const { return limits; }
    // Returns the bytes written within the write time-out, or -1 when the
    // write failed before any byte went out.
    virtual long Write(const char* data, std::size_t size) = 0;
    // Waits until what was written has left.
    virtual void Drain() = 0;
    virtual ReadResult ReadByte(char& byte) = 0;
    // Drops what has been received and not yet read, wherever the transport
    // holds it (the system's input queue, a server's buffers), so that a new
    // holder of the line does not take an earlier one's replies for its own.
    virtual void DiscardInput() {}
    // Where the transport records its connection and its own protocol; set
    // before it opens.
    void SetNotes(PortNotes sink) { notes = std::move(sink); }

protected:
    // From now: when a one-byte read, or a write of size bytes, must end.
    Deadline ReadDeadline() const { return DeadlineIn(limits.readConstant + limits.readPerByte); }
    Deadline WriteDeadline(std::size_t size) const {
        return DeadlineIn(limits.writeConstant + limits.writePerByte * static_cast<long>(size));
    }

    const PortNotes& Notes() const { return notes; }
    void Note(const char* what, const std::string& text = {}) const {
        if (notes)
            notes(what, text);
    }

private:
    PortTimeouts limits;
    PortNotes notes;
};

// Opens the port a name stands for: "socket://HOST:PORT" and
// "rfc2217://HOST:PORT" reach a serial server on the network, any other name
// is a local device path. Null on failure, with a one-line reason of at most
// 255 characters in systemText. notes, when given, records the connection.
std::unique_ptr<PortTransport> OpenPortTransport(const std::string& name, std::string& systemText,
                                                 const PortNotes& notes = {});
