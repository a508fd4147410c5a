#pragma once

#include <string>
#include <vector>

struct SerialMode;

// The settings of the COM-PORT-OPTION (RFC 2217) that a port sends, as the
// client sends them: SET-BAUDRATE (four bytes, network order), SET-DATASIZE,
// SET-PARITY and SET-STOPSIZE (one byte each) from the mode string, and
// SET-CONTROL "no flow control", as a port's flow control stays off. The
// server acknowledges each with its command plus 100 and the value now in
// force.
struct ComPortSetting {
    unsigned char command;
    std::string value;
};

std::vector<ComPortSetting> ComPortSettings(const SerialMode& mode);

// PURGE-DATA for the server's buffer of what its device received (not yet
// sent to us), acknowledged with the same value.
ComPortSetting PurgeReceivedData();

// Whether an acknowledgement holds the value asked for: the values are
// numbers, so a server's shorter or longer form of the same number counts.
bool SameComPortValue(const std::string& acknowledged, const std::string& asked);

// A setting's value in words, for messages: "9600 baud", "7 data bits",
// "even parity", "2 stop bits", "no flow control".
std::string DescribeComPortValue(unsigned char command, const std::string& value);

// The setting's name, for messages: "baud rate", "data size", ...
const char* ComPortSettingName(unsigned char command);
