#pragma once

#include <functional>
#include <string>

// What a port records of itself beside the data, for the byte log: one word
// for what happened ("connected", "telnet-sent", ...) and its text or bytes.
using PortNotes = std::function<void(const char* what, const std::string& text)>;
