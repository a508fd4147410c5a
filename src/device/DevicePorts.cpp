#include "device/DevicePorts.h"

#include "ports/PortNames.h"
#include "serial/NamedPort.h"

#include <algorithm>
#include <mutex>

namespace DevicePorts {

namespace {

std::mutex offeredMutex;
std::vector<NamedPort> offered;

} // namespace

void Register(NamedPort port) {
    std::lock_guard<std::mutex> lock(offeredMutex);
    const auto same = std::find_if(offered.begin(), offered.end(),
                                   [&](const NamedPort& known) { return known.name == port.name; });
    if (same != offered.end())
        *same = std::move(port);
    else
        offered.push_back(std::move(port));
}

std::unique_ptr<PortTransport> Open(const std::string& portName, std::string& systemText,
                                    const PortNotes& notes) {
    std::function<std::unique_ptr<PortTransport>(std::string&)> open;
    {
        std::lock_guard<std::mutex> lock(offeredMutex);
        for (const NamedPort& port : offered)
            if (port.name == portName)
                open = port.open;
    }
    if (open)
        return open(systemText);
    return OpenPortTransport(ResolvePortName(portName), systemText, notes);
}

std::vector<PortRecord> ListDetailed() {
    std::vector<PortRecord> records = ListPortRecords();
    std::lock_guard<std::mutex> lock(offeredMutex);
    for (const NamedPort& port : offered) {
        PortRecord record;
        record.name = port.name;
        record.description = port.description;
        records.push_back(record);
    }
    return records;
}

std::vector<std::string> List() {
    std::vector<std::string> names;
    for (PortRecord& record : ListDetailed())
        names.push_back(std::move(record.name));
    return names;
}

} // namespace DevicePorts
