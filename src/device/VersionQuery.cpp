#include "device/VersionQuery.h"

#include "device/AdcLink.h"

namespace {

// A controller leaves a few replies pending at most. A device that sends lines
// without end (another instrument on the port, say) must not keep the drain
// going for ever.
constexpr int maxDrainedReplies = 64;

} // namespace

bool QueryVersion(std::string& version) {
    std::string reply;
    for (int drained = 0; drained < maxDrainedReplies && AdcLink::ReadReply(reply); ++drained) {
    }
    AdcLink::SendCommand("ID;\r\n");
    version.clear();
    AdcLink::ReadReply(version);
    return !version.empty();
}

std::string QueryVersion() {
    std::string version;
    return QueryVersion(version) ? version : "unavailable";
}
