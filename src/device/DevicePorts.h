#pragma once

#include "ports/PortRecords.h"
#include "serial/PortNotes.h"

#include <memory>
#include <string>
#include <vector>

class PortTransport;
struct NamedPort;

// Port names as the operator knows them, with the ports that a program
// offers under names of their own (the programs offer the built-in simulated
// controller as "SIM"; the link itself knows no simulator).
namespace DevicePorts {

// Offers a port under its name, listed after the system's ports; offering a
// name again replaces what it opened before.
void Register(NamedPort port);

// Opens the port a name stands for: an offered name as it was offered;
// COM1..COM4, device paths and network ports as ResolvePortName and
// OpenPortTransport take them (with the notes given). Null, with a reason in
// systemText, when it cannot be opened.
std::unique_ptr<PortTransport> Open(const std::string& portName, std::string& systemText,
                                    const PortNotes& notes = {});

// Every port the port list offers, with what is known about it: COM1..COM4,
// the ports the system reports (by full device path), the stable names in
// the by-id folder, and the offered ports. Asked anew at each call, so that
// an adapter plugged in meanwhile is there.
std::vector<PortRecord> ListDetailed();

// The names of ListDetailed, in its order.
std::vector<std::string> List();

} // namespace DevicePorts
