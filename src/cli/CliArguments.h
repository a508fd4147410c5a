#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the command line asks for, before anything is checked against the
// command table.
struct CliInvocation {
    std::string port = "SIM";
    std::string mode; // empty: the link's default mode
    std::string log;  // --log FILE: a record of the conversation; empty: none
    bool help = false;
    std::string command;
    std::vector<std::string> arguments;
};

// Splits "[--port NAME] [--mode MODESTRING] [--log FILE] COMMAND [ARGS]" (also
// --port=NAME, --mode=TEXT, --log=FILE, --help). Options stand before the command; everything after
// the command is its arguments. On failure error says why.
bool ParseCliArguments(const std::vector<std::string>& words, CliInvocation& invocation,
                       std::string& error);

// A 32-bit signed decimal integer: optional sign, digits, nothing else.
bool ParseInt32(const std::string& text, int32_t& value);
