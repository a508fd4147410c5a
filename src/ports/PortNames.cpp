#include "ports/PortNames.h"

#include "ports/PortDiscovery.h"

#include <cctype>
#include <utility>

namespace {

const struct {
    const char* prefix;
    NetworkScheme scheme;
} schemes[] = {{"socket://", NetworkScheme::Socket}, {"rfc2217://", NetworkScheme::Rfc2217}};

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

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

NetworkScheme SchemeOfPortName(const std::string& name) {
    for (const auto& entry : schemes)
        if (StartsWithIgnoringCase(name, entry.prefix))
            return entry.scheme;
    return NetworkScheme::None;
}

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
