#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// Process-wide state of the device link, shared by its source files. The
// link's tests also use the range setters to restore the starting range.
namespace AdcLink::Detail {

// WavelengthRange, nm.
void SetMinWavelength(int32_t value);
void SetMaxWavelength(int32_t value);

// Formats a command from its mnemonic and arguments: "XX,a,b;\r\n".
std::string FormatCommand(const char* mnemonic, std::initializer_list<int32_t> arguments);

// One exchange of a command operation: writes the command and reads one reply.
// On failure errorText names the step that failed: "Error writing!" or
// noReplyText.
bool Exchange(const std::string& command, std::string& reply, std::string& errorText,
              const char* noReplyText = "Error reading!");

} // namespace AdcLink::Detail
