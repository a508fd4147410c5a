#pragma once

#include "ports/PortDiscovery.h"

#include <string>
#include <vector>

// The ports offered to the operator, each with what is known about it.
struct PortRecord {
    std::string name; // what is typed, stored and opened
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    std::string vendorProduct; // "vvvv:pppp", four hex digits each; empty unless both known
    std::string linkTarget;    // the device a stable name points to; empty for other names
};

// "vvvv:pppp" in lower-case hex, or "" when either id is unknown (-1).
std::string VendorProductText(int vendorId, int productId);

// COM1..COM4, then each reported port by its device path, then each link,
// described with the port it points to ("link to /dev/ttyUSB0", and that
// port's details when it is among the reported ones).
std::vector<PortRecord> DescribePorts(const std::vector<SystemPort>& ports,
                                      const std::vector<PortLink>& links);

// The same from the current sources, asked anew at each call.
std::vector<PortRecord> ListPortRecords();

// What the drop-down list shows beside the name, e.g. "USB serial adapter,
// Acme (serial A1B2C3, 0403:6001)"; empty when nothing is known.
std::string PortDetailsText(const PortRecord& record);
