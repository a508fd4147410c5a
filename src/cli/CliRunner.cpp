#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/Interrupt.h"

#include "device/AdcLink.h"
#include "device/DevicePorts.h"
#include "serial/NamedPort.h"
#include "sim/InProcessSim.h"

#include <ostream>

std::string CliUsage() {
    std::string usage =
        "usage: vornadc-cli [--port NAME] [--mode MODESTRING] [--log FILE] COMMAND [ARGS]\n"
        "  --port NAME  COM1..COM4, a device path, socket://HOST:PORT (raw TCP),\n"
        "               rfc2217://HOST:PORT (Telnet COM port), or SIM (the built-in\n"
        "               simulated controller; the default)\n"
        "  --mode TEXT  e.g. \"baud=19200 parity=N data=8 stop=1\" (the default)\n"
        "  --log FILE   append every byte sent and received to FILE\n"
        "commands:\n";
    for (const CliCommand& command : CliCommandTable()) {
        usage += std::string("  ") + command.name;
        if (*command.argumentNames)
            usage += std::string(" ") + command.argumentNames;
        usage += "\n";
    }
    usage += "ports --long adds, after TABs, description, manufacturer, serial number and\n"
             "vendor:product (empty where not known)\n"
             "times in tenths of a millisecond, wavelengths in nm, counts 0 to 4095\n"
             "sweep prints the refined peak counts (N = 1024 samples by default);\n"
             "sweep-bands prints \"low|middle|high COUNTS INTENSITY WAVELENGTH\", a wavelength\n"
             "given as 0 completed from the other two bands (N = 256 by default);\n"
             "--check adds \"linearity NM COUNTS\": how far the middle band lies off the\n"
             "line through the low and high bands (all three wavelengths given and found),\n"
             "else \"linearity unavailable\";\n"
             "--save FILE writes one \"counts<TAB>reading\" line (CR LF) per sample\n";
    return usage;
}

namespace {

CliStatus UsageError(std::ostream& err, const std::string& reason) {
    err << "vornadc-cli: " << reason << "\n" << CliUsage();
    return CliStatus::UsageError;
}

// Checks the arguments against the command's row before the port is touched.
bool CheckArguments(const CliCommand& command, const std::vector<std::string>& arguments,
                    std::string& reason) {
    if (command.argumentCount < 0)
        return command.checkArguments(arguments, reason);
    if (static_cast<int>(arguments.size()) != command.argumentCount) {
        reason = std::string(command.name) + " takes " + std::to_string(command.argumentCount) +
                 " argument(s)";
        return false;
    }
    if (command.integerArguments)
        for (const std::string& argument : arguments) {
            int32_t value = 0;
            if (!ParseInt32(argument, value)) {
                reason = "not a 32-bit integer: " + argument;
                return false;
            }
        }
    return command.checkArguments == nullptr || command.checkArguments(arguments, reason);
}

CliStatus Run(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    CliInvocation invocation;
    std::string reason;
    if (!ParseCliArguments(words, invocation, reason))
        return UsageError(err, reason);
    if (invocation.help) {
        out << CliUsage();
        return CliStatus::Success;
    }
    const CliCommand* command = FindCliCommand(invocation.command);
    if (!command)
        return UsageError(err, "unknown command " + invocation.command);
    if (!CheckArguments(*command, invocation.arguments, reason))
        return UsageError(err, reason);

    const CliContext context{invocation.arguments, out, err};
    if (!command->usesPort)
        return command->run(context);
    // A log that cannot be opened is said once; the command runs without it.
    std::string logError;
    if (!AdcLink::StartLog(invocation.log, logError))
        err << "vornadc-cli: " << logError << "\n";
    std::string errorText;
    CliStatus status = CliStatus::DeviceFailure;
    if (AdcLink::OpenPort(invocation.port, invocation.mode, errorText))
        status = command->run(context);
    else
        err << errorText << "\n";
    AdcLink::ClosePort(); // a port opened before a failure stays held otherwise
    AdcLink::StartLog("", logError);
    if (CliInterrupt::Requested()) {
        err << "vornadc-cli: interrupted\n";
        return CliStatus::Interrupted;
    }
    return status;
}

} // namespace

int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    DevicePorts::Register(Sim::InProcessPort());
    return static_cast<int>(Run(words, out, err));
}
