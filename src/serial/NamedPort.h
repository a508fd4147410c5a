#pragma once

#include "serial/PortTransport.h"

#include <functional>
#include <memory>
#include <string>

// A port known by a name of its own rather than by a device path (the
// built-in simulated controller): what the port list says of it, and how it
// opens. open returns null on failure, with a one-line reason in systemText.
struct NamedPort {
    std::string name;
    std::string description;
    std::function<std::unique_ptr<PortTransport>(std::string& systemText)> open;
};
