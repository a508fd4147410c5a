#include "ports/PortRecords.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

PortRecord Describe(const SystemPort& port) {
    return {port.path,
            port.description,
            port.manufacturer,
            port.serialNumber,
            VendorProductText(port.vendorId, port.productId),
            {}};
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

void Join(std::string& text, const std::string& part) {
    if (part.empty())
        return;
    if (!text.empty())
        text += ", ";
    text += part;
}

} // namespace

std::string VendorProductText(int vendorId, int productId) {
    if (vendorId < 0 || productId < 0)
        return {};
    char text[24]; // room for any two ints, though ids have four digits
    std::snprintf(text, sizeof text, "%04x:%04x", static_cast<unsigned>(vendorId),
                  static_cast<unsigned>(productId));
    return text;
}

std::vector<PortRecord> DescribePorts(const std::vector<SystemPort>& ports,
                                      const std::vector<PortLink>& links) {
    std::vector<PortRecord> records;
    for (const char* name : {"COM1", "COM2", "COM3", "COM4"})
        records.push_back({name, {}, {}, {}, {}, {}});
    const std::ptrdiff_t fixedCount = 4;
    for (const SystemPort& port : ports) {
        // Windows reports its ports by COM name: one of the four listed first
        // takes the details instead of showing twice.
        const auto fixedEnd = records.begin() + fixedCount;
        const auto fixed = std::find_if(records.begin(), fixedEnd, [&](const PortRecord& record) {
            return SameNameIgnoringCase(record.name, port.path);
        });
        if (fixed != fixedEnd) {
            const std::string name = fixed->name;
            *fixed = Describe(port);
            fixed->name = name;
            continue;
        }
        records.push_back(Describe(port));
    }
    for (const PortLink& link : links) {
        PortRecord record;
        for (const SystemPort& port : ports)
            if (port.path == link.target)
                record = Describe(port);
        record.name = link.path;
        record.linkTarget = link.target;
        std::string description = "link to " + link.target;
        Join(description, record.description);
        record.description = description;
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<PortRecord> ListPortRecords() {
    return DescribePorts(SystemPorts(), PortLinks(PortLinkFolder()));
}

std::string PortDetailsText(const PortRecord& record) {
    std::string text;
    Join(text, record.description);
    Join(text, record.manufacturer);
    std::string identity;
    if (!record.serialNumber.empty())
        identity = "serial " + record.serialNumber;
    Join(identity, record.vendorProduct);
    if (!identity.empty())
        text += (text.empty() ? "(" : " (") + identity + ")";
    return text;
}
