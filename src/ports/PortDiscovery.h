#pragma once

#include <functional>
#include <string>
#include <vector>

// Where the serial ports of this computer are found: the ports the system
// reports, with what it knows of a USB adapter, and the stable names that
// udev keeps in a folder of links. Both sources can be replaced, since tests
// cannot plug in adapters. What the system reports and how a local port is
// named differ by platform (PortDiscovery.cpp on Linux, PortDiscoveryWin32.cpp
// on Windows); the rest is shared (PortSources.cpp).

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

// The folder of stable names that udev keeps for USB adapters; empty on
// Windows, which keeps none.
extern const char* const serialByIdFolder;

// The ports the current source reports, asked anew at each call.
std::vector<SystemPort> SystemPorts();

// The ports the system itself reports: on Linux by device path, on Windows by
// COM port name with the device's friendly name as description.
std::vector<SystemPort> PlatformSystemPorts();

// The device a local port name stands for, or "" for none. Linux: COM1..COM4
// (any case) are /dev/ttyS0..3 and a name starting with "/" is a device path.
// Windows: COM1..COM256 (any case) are \\.\COMn, the form CreateFile needs
// from COM10 up, and a name starting with \\.\ is a device name already.
std::string LocalDevicePath(const std::string& name);

// The links in folder that point to an existing device, sorted by name.
// A missing or empty folder (no adapter plugged in) gives none.
std::vector<PortLink> PortLinks(const std::string& folder);

// The folder whose links are offered: serialByIdFolder unless replaced.
std::string PortLinkFolder();

// Tests replace the sources; an empty function or folder restores the system's.
using PortSource = std::function<std::vector<SystemPort>()>;
void SetPortSource(PortSource source);
void SetPortLinkFolder(const std::string& folder);
