#include "serial/network/ComPortOption.h"

#include "serial/SerialMode.h"

#include <cstdint>

namespace {

enum class Command : unsigned char {
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    PurgeData = 12
};

// Parity and stop size as the option numbers them; the flow control and
// purge values that a port asks for.
enum class Parity : unsigned char { None = 1, Odd = 2, Even = 3 };
enum class StopSize : unsigned char { One = 1, Two = 2 };
constexpr unsigned char noFlowControl = 1;
constexpr unsigned char purgeReceiveBuffer = 1;

template <typename Value> std::string Byte(Value value) {
    return std::string(1, static_cast<char>(value));
}

unsigned char Code(Command command) {
    return static_cast<unsigned char>(command);
}

// A value's number, big-endian; false when it is empty or does not fit 32 bits.
bool ValueNumber(const std::string& value, uint32_t& number) {
    number = 0;
    for (unsigned char byte : value) {
        if (number > 0xFFFFFF)
            return false;
        number = (number << 8) | byte;
    }
    return !value.empty();
}

} // namespace

std::vector<ComPortSetting> ComPortSettings(const SerialMode& mode) {
    const auto baud = static_cast<uint32_t>(mode.baud);
    std::string baudBytes;
    for (int shift = 24; shift >= 0; shift -= 8)
        baudBytes += static_cast<char>((baud >> shift) & 0xFF);
    const Parity parity =
        mode.parity == 'e' ? Parity::Even : (mode.parity == 'o' ? Parity::Odd : Parity::None);
    return {{Code(Command::SetBaudRate), baudBytes},
            {Code(Command::SetDataSize), Byte(mode.dataBits)},
            {Code(Command::SetParity), Byte(parity)},
            {Code(Command::SetStopSize), Byte(mode.stopBits == 2 ? StopSize::Two : StopSize::One)},
            {Code(Command::SetControl), Byte(noFlowControl)}};
}

ComPortSetting PurgeReceivedData() {
    return {Code(Command::PurgeData), Byte(purgeReceiveBuffer)};
}

bool SameComPortValue(const std::string& acknowledged, const std::string& asked) {
    uint32_t a = 0, b = 0;
    return ValueNumber(acknowledged, a) && ValueNumber(asked, b) && a == b;
}

const char* ComPortSettingName(unsigned char command) {
    switch (static_cast<Command>(command)) {
    case Command::SetBaudRate:
        return "baud rate";
    case Command::SetDataSize:
        return "data size";
    case Command::SetParity:
        return "parity";
    case Command::SetStopSize:
        return "stop size";
    case Command::SetControl:
        return "flow control";
    case Command::PurgeData:
        return "purge";
    default:
        return "setting";
    }
}

std::string DescribeComPortValue(unsigned char command, const std::string& value) {
    uint32_t number = 0;
    if (!ValueNumber(value, number))
        return std::string("an unreadable ") + ComPortSettingName(command);
    std::string digits = std::to_string(number);
    switch (static_cast<Command>(command)) {
    case Command::SetBaudRate:
        return digits + " baud";
    case Command::SetDataSize:
        return digits + " data bits";
    case Command::SetParity: {
        static const char* const names[] = {"no", "odd", "even", "mark", "space"};
        return (number >= 1 && number <= 5 ? std::string(names[number - 1]) : "code " + digits) +
               " parity";
    }
    case Command::SetStopSize:
        return number == 3 ? "1.5 stop bits" : digits + (number == 1 ? " stop bit" : " stop bits");
    case Command::SetControl: {
        static const char* const names[] = {"no", "XON/XOFF", "hardware"};
        return (number >= 1 && number <= 3 ? std::string(names[number - 1]) : "code " + digits) +
               " flow control";
    }
    default:
        return digits;
    }
}
