#pragma once

#include "ports/PortRecords.h"
#include "ui/dialog/ComboItemDetails.h"

#include <string>
#include <vector>

// The mode string of a connect, "baud=%s parity=%s data=%s stop=%s": the baud
// rate unchanged, the first letter of the parity name, the first and the last
// character of the bits ("8,1" gives data 8, stop 1). An empty field gives an
// empty part, which the port's mode parser then refuses.
std::string BuildModeString(const std::string& baudRate, const std::string& parity,
                            const std::string& bits);

// The port list's item for a stored or typed port name. A device path chooses
// only the item equal to it, since a longer path ("/dev/ttyUSB10" for
// "/dev/ttyUSB1") is another device; any other name the first item that
// begins with it, letter case ignored ("sim" chooses "SIM"). -1 when none.
int FindPortItem(const std::vector<std::string>& items, const std::string& name);

// The port list's items: each port's name, with its details for the drop-down list.
std::vector<DetailedItem> PortListItems(const std::vector<PortRecord>& ports);
