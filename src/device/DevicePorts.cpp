#include "DevicePorts.h"

#include "platform/PortNames.h"
#include "sim/InProcessSim.h"

namespace DevicePorts {

const char* const simulatorName = "SIM";

std::string Resolve(const std::string& portName, std::string& systemText) {
    if (portName == simulatorName)
        return Sim::InProcessPortPath(systemText);
    return ResolvePortName(portName);
}

std::vector<std::string> List() {
    std::vector<std::string> names = ListPortNames();
    names.push_back(simulatorName);
    return names;
}

} // namespace DevicePorts
