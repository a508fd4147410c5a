#include "serial/PortOpenError.h"

#include "serial/SystemError.h"

std::string PortListHint(const std::string& base, const std::vector<std::string>& ports) {
    if (ports.empty())
        return " (no serial ports found)";
    const std::string head = " (ports here: ";
    const std::string more = ", ...";
    std::string list;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const std::string entry = (i == 0 ? "" : ", ") + ports[i];
        const bool last = i + 1 == ports.size();
        const std::size_t room =
            base.size() + head.size() + list.size() + entry.size() + (last ? 0 : more.size()) + 1;
        if (room > reasonLimit) {
            list += list.empty() ? "..." : more;
            break;
        }
        list += entry;
    }
    return head + list + ")";
}
