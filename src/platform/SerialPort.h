#pragma once

#include <cstddef>
#include <string>

struct SerialMode;

// One serial device, held exclusively, with blocking writes and single-byte
// reads under a total time-out (per byte requested plus a constant).
//
// Written directly on POSIX termios rather than on QSerialPort: the link needs
// a read of one byte that waits at most a fixed time and reports "no byte" as
// a normal outcome, a write that gives up after its own time-out with a short
// count, a drain before the caller goes on, an advisory lock on the
// descriptor that also holds against a second process running as root, and
// the terminal's exclusive mode against any other program's plain open. The
// interface names none of that, so another platform can supply its own .cpp.
class SerialPort {
public:
    enum class ReadResult { Byte, TimedOut, Failed };

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens an existing device for reading and writing, exclusively. On failure
    // systemText holds the system's one-line reason, with a hint where the
    // operator can mend it (see PortOpenErrorText).
    bool Open(const std::string& devicePath, std::string& systemText);
    void Close();
    bool IsOpen() const { return fd >= 0; }

    // Raw 8-bit line with what mode names; no flow control.
    bool Apply(const SerialMode& mode, std::string& systemText);
    bool SetTimeouts(int readPerByteMs, int readConstantMs, int writePerByteMs,
                     int writeConstantMs);

    // Writes within the write time-out; returns the bytes written, or -1 when
    // the write failed before any byte went out.
    long Write(const char* data, std::size_t size);
    // Waits until the driver has sent what was written.
    void Drain();
    ReadResult ReadByte(char& byte);

private:
    int fd = -1;
    int readPerByte = 0;
    int readConstant = 0;
    int writePerByte = 0;
    int writeConstant = 0;
};

// The system's text for an error number: one line, at most 255 characters.
std::string SystemErrorText(int errorNumber);
