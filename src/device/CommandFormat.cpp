#include "AdcLinkState.h"

namespace AdcLink::Detail {

std::string FormatCommand(const char* mnemonic, std::initializer_list<int32_t> arguments) {
    std::string command = mnemonic;
    for (const int32_t argument : arguments)
        command += "," + std::to_string(argument);
    return command + ";\r\n";
}

} // namespace AdcLink::Detail
