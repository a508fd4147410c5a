#pragma once

#include <functional>
#include <string>
#include <vector>

// Where the serial ports of this computer are found: the ports the system
// reports, with what it knows of a USB adapter, and the stable names that
// udev keeps in a folder of links. Both sources can be replaced, since tests
// cannot plug in adapters.

// A port as the system reports it. Unknown texts are empty, an unknown
// vendor or product id is -1.
struct SystemPort {
    std::string path; // full device path
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    int vendorId = -1;  // 0..0xFFFF
    int productId = -1; // 0..0xFFFF
};

// A stable name and the device it points to.
struct PortLink {
    std::string path;   // the link, e.g. /dev/serial/by-id/usb-...-if00-port0
    std::string target; // the device path behind it
};

// The folder of stable names that udev keeps for USB adapters.
extern const char* const serialByIdFolder;

// The ports the current source reports, asked anew at each call.
std::vector<SystemPort> SystemPorts();

// The links in folder that point to an existing device, sorted by name.
// A missing folder (no adapter plugged in) gives none.
std::vector<PortLink> PortLinks(const std::string& folder);

// The folder whose links are offered: serialByIdFolder unless replaced.
std::string PortLinkFolder();

// Tests replace the sources; an empty function or folder restores the system's.
using PortSource = std::function<std::vector<SystemPort>()>;
void SetPortSource(PortSource source);
void SetPortLinkFolder(const std::string& folder);
