#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The commands of vornadc-cli. To add one, add a row to the table in
// CliCommands.cpp with its handler.

struct CliContext {
    const std::vector<std::string>& arguments; // already counted
    std::ostream& out;
    std::ostream& err;
};

// Exit status of a command.
// Interrupted: Ctrl+C came (128 + SIGINT, as a shell reports a program it killed).
enum class CliStatus { Success = 0, DeviceFailure = 1, UsageError = 2, Interrupted = 130 };

struct CliCommand {
    const char* name;
    const char* argumentNames; // for the usage text; "" when none
    int argumentCount;
    bool integerArguments; // every argument must be a 32-bit integer
    bool usesPort;         // opened with the handshake before, closed after
    CliStatus (*run)(const CliContext& context);
    // Commands with options (argumentCount -1) check all their arguments here;
    // for the others it runs after the count and integer checks have passed.
    bool (*checkArguments)(const std::vector<std::string>& arguments,
                           std::string& reason) = nullptr;
};

const std::vector<CliCommand>& CliCommandTable();
const CliCommand* FindCliCommand(const std::string& name);

std::string CliUsage();

// Parses the words after the program name, runs the command, returns the exit status.
int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
