#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"

namespace AdcLink::Detail {

std::string FormatCommand(const char* mnemonic, std::initializer_list<int32_t> arguments) {
    std::string command = mnemonic;
    for (const int32_t argument : arguments)
        command += "," + std::to_string(argument);
    return command + ";\r\n";
}

bool Exchange(const std::string& command, std::string& reply, std::string& errorText,
              const char* noReplyText) {
    if (!SendCommand(command)) {
        errorText = "Error writing!";
        return false;
    }
    if (!ReadReply(reply)) {
        errorText = noReplyText;
        return false;
    }
    return true;
}

} // namespace AdcLink::Detail
