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

std::vector<PortRecord> ListDetailed() {
    std::vector<PortRecord> records = ListPortRecords();
    PortRecord simulator;
    simulator.name = simulatorName;
    simulator.description = "built-in simulated controller";
    records.push_back(simulator);
    return records;
}

std::vector<std::string> List() {
    std::vector<std::string> names;
    for (PortRecord& record : ListDetailed())
        names.push_back(std::move(record.name));
    return names;
}

} // namespace DevicePorts
