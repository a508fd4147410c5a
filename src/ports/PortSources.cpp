// The port sources every platform shares: the test's replacement of the
// system's list, and the folder of stable names.
#include "ports/PortDiscovery.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

PortSource& CurrentSource() {
    static PortSource source;
    return source;
}

std::string& CurrentLinkFolder() {
    static std::string folder;
    return folder;
}

} // namespace

std::vector<SystemPort> SystemPorts() {
    const PortSource& source = CurrentSource();
    return source ? source() : PlatformSystemPorts();
}

std::vector<PortLink> PortLinks(const std::string& folder) {
    std::vector<PortLink> links;
    if (folder.empty())
        return links;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code entryError;
        if (!it->is_symlink(entryError))
            continue;
        // A link whose device has gone is no port to offer.
        const fs::path target = fs::canonical(it->path(), entryError);
        if (entryError)
            continue;
        links.push_back({it->path().string(), target.string()});
    }
    std::sort(links.begin(), links.end(),
              [](const PortLink& a, const PortLink& b) { return a.path < b.path; });
    return links;
}

std::string PortLinkFolder() {
    const std::string& folder = CurrentLinkFolder();
    return folder.empty() ? serialByIdFolder : folder;
}

void SetPortSource(PortSource source) {
    CurrentSource() = std::move(source);
}

void SetPortLinkFolder(const std::string& folder) {
    CurrentLinkFolder() = folder;
}
