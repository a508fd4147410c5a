#include "PortNames.h"

#include "NetworkAddress.h"
#include "PortDiscovery.h"

#include <cctype>
#include <utility>

namespace {

// "COMn" in any case, n from 1 to 4; returns n, or 0 for any other name.
int ComPortNumber(const std::string& name) {
    if (name.size() != 4)
        return 0;
    for (int i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i])
            return 0;
    return (name[3] >= '1' && name[3] <= '4') ? name[3] - '0' : 0;
}

} // namespace

std::string ResolvePortName(const std::string& name) {
    if ((!name.empty() && name[0] == '/') || SchemeOfPortName(name) != NetworkScheme::None)
        return name;
    if (const int number = ComPortNumber(name))
        return "/dev/ttyS" + std::to_string(number - 1);
    return {};
}

std::vector<std::string> SystemPortPaths() {
    std::vector<std::string> paths;
    for (SystemPort& port : SystemPorts())
        paths.push_back(std::move(port.path));
    return paths;
}
