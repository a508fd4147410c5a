// The local serial port on Windows, with the calls the system offers for it.
#include "serial/LocalTransport.h"

#include "serial/PortOpenError.h"
#include "serial/SerialMode.h"
#include "serial/SystemErrorWin32.h"

#include <windows.h>

#include <cstdio>

LocalTransport::~LocalTransport() {
    if (handle != nullptr)
        ::CloseHandle(handle);
}

bool LocalTransport::Open(const std::string& devicePath, std::string& systemText) {
    if (devicePath.empty()) {
        systemText = PortOpenErrorText(ERROR_FILE_NOT_FOUND, devicePath);
        return false;
    }
    // No sharing: a second opener, this program or another, is refused.
    const HANDLE opened = ::CreateFileW(WideText(devicePath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                        0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        systemText = PortOpenErrorText(static_cast<int>(::GetLastError()), devicePath);
        return false;
    }
    handle = opened;
    return true;
}

bool LocalTransport::Apply(const SerialMode& mode, std::string& systemText) {
    // As on Linux: a mode without a baud rate or data size is refused. Our own
    // parser has checked the string already, so BuildCommDCB only ever sees the
    // four keys in the one form both platforms accept.
    if (mode.baud <= 0 || mode.dataBits < 5 || mode.dataBits > 8) {
        systemText = WindowsErrorText(ERROR_INVALID_PARAMETER);
        return false;
    }
    char text[96];
    std::snprintf(text, sizeof text, "baud=%d parity=%c data=%d stop=%d", mode.baud,
                  mode.parity == 0 ? 'n' : mode.parity, mode.dataBits,
                  mode.stopBits == 0 ? 1 : mode.stopBits);
    DCB control{};
    control.DCBlength = sizeof control;
    if (!::BuildCommDCBW(WideText(text).c_str(), &control)) {
        systemText = WindowsErrorText(::GetLastError());
        return false;
    }
    // Flow control stays off; DTR and RTS are raised, as a terminal would.
    control.fBinary = TRUE;
    control.fOutxCtsFlow = FALSE;
    control.fOutxDsrFlow = FALSE;
    control.fDsrSensitivity = FALSE;
    control.fOutX = FALSE;
    control.fInX = FALSE;
    control.fRtsControl = RTS_CONTROL_ENABLE;
    control.fDtrControl = DTR_CONTROL_ENABLE;
    if (!::SetCommState(handle, &control)) {
        systemText = WindowsErrorText(::GetLastError());
        return false;
    }
    return true;
}

bool LocalTransport::SetTimeouts(const PortTimeouts& timeouts) {
    PortTransport::SetTimeouts(timeouts);
    // A one-byte read returns as soon as a byte is there, else after the total
    // time-out without an error; a write of n bytes gets n times its per-byte
    // time plus its constant.
    COMMTIMEOUTS limits{};
    limits.ReadIntervalTimeout = MAXDWORD;
    limits.ReadTotalTimeoutMultiplier = static_cast<DWORD>(timeouts.readPerByte);
    limits.ReadTotalTimeoutConstant = static_cast<DWORD>(timeouts.readConstant);
    limits.WriteTotalTimeoutMultiplier = static_cast<DWORD>(timeouts.writePerByte);
    limits.WriteTotalTimeoutConstant = static_cast<DWORD>(timeouts.writeConstant);
    return ::SetCommTimeouts(handle, &limits) != 0;
}

long LocalTransport::Write(const char* data, std::size_t size) {
    DWORD written = 0;
    const BOOL ok = ::WriteFile(handle, data, static_cast<DWORD>(size), &written, nullptr);
    // What went out before a failure or the time-out still went out.
    return ok || written > 0 ? static_cast<long>(written) : -1;
}

void LocalTransport::Drain() {
    ::FlushFileBuffers(handle);
}

PortTransport::ReadResult LocalTransport::ReadByte(char& byte) {
    DWORD got = 0;
    if (!::ReadFile(handle, &byte, 1, &got, nullptr))
        return ReadResult::Failed;
    return got == 1 ? ReadResult::Byte : ReadResult::TimedOut;
}

void LocalTransport::DiscardInput() {
    ::PurgeComm(handle, PURGE_RXCLEAR);
}
