#pragma once

#include "sim/SimServer.h"

#include <memory>
#include <string>

// A simulated controller with exact readings and the given faults, started on
// a pseudo-terminal of its own; empty (and error set) when it could not start.
std::unique_ptr<SimServer> StartFaultySim(SimOptions options, std::string& error);

// Commands the link sends while it opens the port: "RC,1;" and "RS;".
constexpr int handshakeCommands = 2;
