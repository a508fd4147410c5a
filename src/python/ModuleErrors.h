#pragma once

#include "device/ProtocolCommand.h"

#include <optional>
#include <stdexcept>
#include <string>

namespace pybind11 {
class module_;
}

// Failures thrown by the binding, possibly without the GIL; the translator
// registered by RegisterErrors turns them into vornadc.DeviceError and
// vornadc.PortError once the GIL is held again. The text is the reason the
// command-line tool gives.
struct DeviceFailure : std::runtime_error {
    explicit DeviceFailure(const std::string& reason,
                           std::optional<ProtocolInMs> corrected = std::nullopt)
        : std::runtime_error(reason), protocol(corrected) {}
    std::optional<ProtocolInMs> protocol; // the protocol as checks corrected it
};

struct PortFailure : DeviceFailure {
    using DeviceFailure::DeviceFailure;
};

// Adds DeviceError and PortError (a DeviceError) to the module.
void RegisterErrors(pybind11::module_& module);
