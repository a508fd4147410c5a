#include "pages/SetupParameters.h"

#include "ui/sheet/ExchangeText.h"

#include <algorithm>

namespace {

std::string First(const std::string& text) {
    return text.substr(0, 1);
}

std::string Last(const std::string& text) {
    return text.empty() ? std::string() : text.substr(text.size() - 1);
}

} // namespace

std::string BuildModeString(const std::string& baudRate, const std::string& parity,
                            const std::string& bits) {
    return "baud=" + baudRate + " parity=" + First(parity) + " data=" + First(bits) +
           " stop=" + Last(bits);
}

int FindPortItem(const std::vector<std::string>& items, const std::string& name) {
    if (name.empty() || name[0] != '/')
        return FindItemStartingWith(items, name);
    const auto found = std::find(items.begin(), items.end(), name);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

std::vector<DetailedItem> PortListItems(const std::vector<PortRecord>& ports) {
    std::vector<DetailedItem> items;
    items.reserve(ports.size());
    for (const PortRecord& port : ports)
        items.push_back({port.name, PortDetailsText(port)});
    return items;
}
