#include "VersionQuery.h"

#include "AdcLink.h"

std::string QueryVersion() {
    std::string reply;
    while (AdcLink::ReadReply(reply)) {
    }
    AdcLink::SendCommand("ID;\r\n");
    reply.clear();
    AdcLink::ReadReply(reply);
    return reply.empty() ? "unavailable" : reply;
}
