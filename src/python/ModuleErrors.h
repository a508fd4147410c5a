#pragma once

#include "device/ProtocolCommand.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace pybind11 {
class module_;
}

// Failures thrown by the binding, possibly without the GIL; the translator
// registered by RegisterErrors turns them into the module's exceptions once
// the GIL is held again. The text is the reason the command-line tool gives;
// its bytes reach Python as Latin-1, as replies do.
struct DeviceFailure : std::runtime_error {
    explicit DeviceFailure(const std::string& text,
                           std::optional<ProtocolInMs> corrected = std::nullopt)
        : std::runtime_error(text), reason(text), protocol(corrected) {}
    std::string reason;                   // whole, even with a NUL byte of a reply in it
    std::optional<ProtocolInMs> protocol; // the protocol as checks corrected it
};

// vornadc.PortError, an OSError too: message names the port.
struct PortFailure : DeviceFailure {
    PortFailure(const std::string& message, std::string portName, int systemErrorNumber = 0)
        : DeviceFailure(message), port(std::move(portName)), errorNumber(systemErrorNumber) {}
    std::string port;
    int errorNumber; // the system's, 0 when it gave none
};

// vornadc.NoReplyError, a TimeoutError too: the controller sent nothing in time.
struct NoReplyFailure : DeviceFailure {
    using DeviceFailure::DeviceFailure;
};

// vornadc.SweepStopped: Controller.stop() ended the sweep.
struct SweepStoppedFailure : DeviceFailure {
    using DeviceFailure::DeviceFailure;
};

// Adds DeviceError, PortError, NoReplyError and SweepStopped to the module.
void RegisterErrors(pybind11::module_& module);
