#include "serial/PortOpenError.h"

#include "ports/PortNames.h"
#include "serial/SystemError.h"

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The name of the group that owns the device node; empty when the node or its
// group cannot be looked up.
std::string OwningGroup(const std::string& devicePath, bool& ownedByRoot) {
    ownedByRoot = false;
    struct stat node {};
    if (devicePath.empty() || ::stat(devicePath.c_str(), &node) != 0)
        return {};
    ownedByRoot = node.st_gid == 0;
    group entry{};
    group* found = nullptr;
    std::vector<char> buffer(4096);
    if (::getgrgid_r(node.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return found->gr_name;
}

std::string PermissionHint(const std::string& devicePath) {
    bool ownedByRoot = false;
    const std::string group = OwningGroup(devicePath, ownedByRoot);
    // Joining the root group is no advice to give; such a node needs its owner's help.
    if (ownedByRoot)
        return " (only root may open " + devicePath + ")";
    return " (add your user to the " + (group.empty() ? std::string("dialout") : group) +
           " group and log in again)";
}

} // namespace

std::string PortOpenErrorText(int errorNumber, const std::string& devicePath,
                              const std::vector<std::string>& existingPorts) {
    std::string text = SystemErrorText(errorNumber);
    if (errorNumber == EACCES || errorNumber == EPERM)
        text += PermissionHint(devicePath);
    else if (errorNumber == ENOENT)
        text += PortListHint(text, existingPorts);
    return OneLineReason(text);
}

std::string PortOpenErrorText(int errorNumber, const std::string& devicePath) {
    return PortOpenErrorText(errorNumber, devicePath,
                             errorNumber == ENOENT ? SystemPortPaths()
                                                   : std::vector<std::string>());
}
