// The serial ports of a Linux computer, as Qt finds them (sysfs and udev),
// and the names the operator types for them.
#include "ports/PortDiscovery.h"

#include "ports/PortNames.h"

#include <QSerialPortInfo>

const char* const serialByIdFolder = "/dev/serial/by-id";

std::vector<SystemPort> PlatformSystemPorts() {
    std::vector<SystemPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SystemPort port;
        port.path = info.systemLocation().toStdString();
        port.description = info.description().toStdString();
        port.manufacturer = info.manufacturer().toStdString();
        port.serialNumber = info.serialNumber().toStdString();
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports.push_back(std::move(port));
    }
    return ports;
}

std::string LocalDevicePath(const std::string& name) {
    if (!name.empty() && name[0] == '/')
        return name;
    if (const int number = ComPortNumber(name); number >= 1 && number <= 4)
        return "/dev/ttyS" + std::to_string(number - 1);
    return {};
}
