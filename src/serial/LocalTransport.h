#pragma once

#include "serial/PortTransport.h"

// A local serial device, held exclusively. On Linux (LocalTransport.cpp) on
// POSIX termios: an advisory lock on the open description (which also holds
// against root and other copies of this program) and the terminal's exclusive
// mode (against any other program's plain open). On Windows
// (LocalTransportWin32.cpp) with the system's own calls: a COM port opened
// without sharing, BuildCommDCB, SetCommState, SetCommTimeouts.
class LocalTransport : public PortTransport {
public:
    ~LocalTransport() override;

    // Opens an existing device for reading and writing. On failure systemText
    // holds the system's reason, with a hint where the operator can mend it
    // (see PortOpenErrorText).
    bool Open(const std::string& devicePath, std::string& systemText);

    // Raw 8-bit line with what mode names; no flow control.
    bool Apply(const SerialMode& mode, std::string& systemText) override;
    long Write(const char* data, std::size_t size) override;
    void Drain() override;
    ReadResult ReadByte(char& byte) override;
    // The system's input queue (tcflush, PurgeComm).
    void DiscardInput() override;

#ifdef _WIN32
    // The system enforces the time-outs itself (COMMTIMEOUTS).
    bool SetTimeouts(const PortTimeouts& timeouts) override;

private:
    void* handle = nullptr; // the device's HANDLE
#else
private:
    int fd = -1;
#endif
};

#ifdef __linux__
struct serial_struct;
// ioctl(2) with TIOCGSERIAL or TIOCSSERIAL, through which an opened device is
// asked for low latency. Tests put their own here: no pseudo-terminal has the
// setting, and this machine need not have a USB adapter.
using SerialInfoRequest = int (*)(int fd, unsigned long request, serial_struct* info);
extern SerialInfoRequest serialInfoRequest;
#endif
