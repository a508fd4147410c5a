#pragma once

#include <string>
#include <vector>

struct SerialMode;

// The settings of the COM-PORT-OPTION (RFC 2217) that a mode string names, as
// the client sends them: SET-BAUDRATE (four bytes, network order),
// SET-DATASIZE, SET-PARITY and SET-STOPSIZE (one byte each). The server
// acknowledges each with its command plus 100 and the value now in force.
struct ComPortSetting {
    unsigned char command;
    std::string value;
};

std::vector<ComPortSetting> ComPortSettings(const SerialMode& mode);

// A setting's value in words, for messages: "9600 baud", "7 data bits",
// "even parity", "2 stop bits".
std::string DescribeComPortValue(unsigned char command, const std::string& value);

// The setting's name, for messages: "baud rate", "data size", ...
const char* ComPortSettingName(unsigned char command);
