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

} // namespace

int ComPortNumber(const std::string& name) {
    // The system numbers its COM ports from 1 to 256.
    constexpr int highest = 256;
    if (name.size() < 4 || name.size() > 6 || !StartsWithIgnoringCase(name, "com") ||
        name[3] == '0')
        return 0;
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number <= highest ? number : 0;
}

NetworkScheme SchemeOfPortName(const std::string& name) {
    for (const auto& entry : schemes)
        if (StartsWithIgnoringCase(name, entry.prefix))
            return entry.scheme;
    return NetworkScheme::None;
}

std::string ResolvePortName(const std::string& name) {
    if (SchemeOfPortName(name) != NetworkScheme::None)
        return name;
    return LocalDevicePath(name);
}

std::vector<std::string> SystemPortPaths() {
    std::vector<std::string> paths;
    for (SystemPort& port : SystemPorts())
        paths.push_back(std::move(port.path));
    return paths;
}
