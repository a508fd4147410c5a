#include "serial/PortOpenError.h"

#include "ports/PortNames.h"
#include "serial/SystemError.h"
#include "serial/SystemErrorWin32.h"

#include <windows.h>

namespace {

bool Missing(int code) {
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

} // namespace

std::string PortOpenErrorText(int errorNumber, const std::string&,
                              const std::vector<std::string>& existingPorts) {
    std::string text = WindowsErrorText(static_cast<unsigned long>(errorNumber));
    // A COM port that is there but refused is nearly always held by another
    // program: the port is opened without sharing.
    if (errorNumber == ERROR_ACCESS_DENIED || errorNumber == ERROR_SHARING_VIOLATION)
        text += " (another program may hold the port)";
    else if (Missing(errorNumber))
        text += PortListHint(text, existingPorts);
    return OneLineReason(text);
}

std::string PortOpenErrorText(int errorNumber, const std::string& devicePath) {
    return PortOpenErrorText(errorNumber, devicePath,
                             Missing(errorNumber) ? SystemPortPaths() : std::vector<std::string>());
}
