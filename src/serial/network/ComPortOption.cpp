#include "serial/network/ComPortOption.h"

#include "serial/SerialMode.h"

#include <cstdint>

namespace {

enum Command : unsigned char { setBaudRate = 1, setDataSize = 2, setParity = 3, setStopSize = 4 };

// Parity and stop size as the option numbers them.
enum : unsigned char { parityNone = 1, parityOdd = 2, parityEven = 3 };
enum : unsigned char { stopOne = 1, stopTwo = 2 };

std::string Byte(int value) {
    return std::string(1, static_cast<char>(value));
}

} // namespace

std::vector<ComPortSetting> ComPortSettings(const SerialMode& mode) {
    const auto baud = static_cast<uint32_t>(mode.baud);
    std::string baudBytes;
    for (int shift = 24; shift >= 0; shift -= 8)
        baudBytes += static_cast<char>((baud >> shift) & 0xFF);
    const int parity =
        mode.parity == 'e' ? parityEven : (mode.parity == 'o' ? parityOdd : parityNone);
    return {{setBaudRate, baudBytes},
            {setDataSize, Byte(mode.dataBits)},
            {setParity, Byte(parity)},
            {setStopSize, Byte(mode.stopBits == 2 ? stopTwo : stopOne)}};
}

const char* ComPortSettingName(unsigned char command) {
    switch (command) {
    case setBaudRate:
        return "baud rate";
    case setDataSize:
        return "data size";
    case setParity:
        return "parity";
    case setStopSize:
        return "stop size";
    default:
        return "setting";
    }
}

std::string DescribeComPortValue(unsigned char command, const std::string& value) {
    uint32_t number = 0;
    for (unsigned char byte : value)
        number = (number << 8) | byte;
    std::string digits = std::to_string(number);
    switch (command) {
    case setBaudRate:
        return digits + " baud";
    case setDataSize:
        return digits + " data bits";
    case setParity: {
        static const char* const names[] = {"no", "odd", "even", "mark", "space"};
        return (number >= 1 && number <= 5 ? std::string(names[number - 1]) : "code " + digits) +
               " parity";
    }
    case setStopSize:
        return number == 3 ? "1.5 stop bits" : digits + (number == 1 ? " stop bit" : " stop bits");
    default:
        return digits;
    }
}
