#include "cli/CliCommands.h"

#include "cli/CliArguments.h"
#include "cli/SweepCommands.h"
#include "device/AdcLink.h"
#include "device/DevicePorts.h"
#include "device/FailureTexts.h"
#include "device/TerminalCommand.h"
#include "device/VersionQuery.h"
#include "device/WavelengthCommand.h"

#include <ostream>

namespace {

int32_t Argument(const CliContext& context, std::size_t index) {
    int32_t value = 0;
    ParseInt32(context.arguments[index], value); // checked before the command runs
    return value;
}

CliStatus Fail(const CliContext& context, const std::string& reason) {
    context.err << reason << "\n";
    return CliStatus::DeviceFailure;
}

bool CheckPortsArguments(const std::vector<std::string>& arguments, std::string& reason) {
    if (arguments.empty() || (arguments.size() == 1 && arguments[0] == "--long"))
        return true;
    reason = "ports takes only --long";
    return false;
}

// One name a line; with --long, four more fields after TABs (empty where not
// known), so that every line splits into the same columns.
CliStatus ListPorts(const CliContext& context) {
    if (context.arguments.empty()) {
        for (const std::string& name : DevicePorts::List())
            context.out << name << "\n";
        return CliStatus::Success;
    }
    for (const PortRecord& record : DevicePorts::ListDetailed())
        context.out << record.name << '\t' << record.description << '\t' << record.manufacturer
                    << '\t' << record.serialNumber << '\t' << record.vendorProduct << "\n";
    return CliStatus::Success;
}

CliStatus ShowVersion(const CliContext& context) {
    context.out << QueryVersion() << "\n";
    return CliStatus::Success;
}

CliStatus ShowRange(const CliContext& context) {
    context.out << AdcLink::MinWavelength() << " " << AdcLink::MaxWavelength() << "\n";
    return CliStatus::Success;
}

CliStatus SetWavelengthCommand(const CliContext& context) {
    const WavelengthRequest request =
        PrepareWavelength(Argument(context, 0), AdcLink::MinWavelength(), AdcLink::MaxWavelength());
    const WavelengthOutcome outcome = SetWavelength(request);
    if (!outcome.success)
        return Fail(context, outcome.statusText);
    context.out << outcome.statusText << "\n";
    return CliStatus::Success;
}

bool CheckSendText(const std::vector<std::string>& arguments, std::string& reason) {
    if (!HoldsLineEnd(arguments[0]))
        return true;
    reason = lineEndRefusal;
    return false;
}

CliStatus SendText(const CliContext& context) {
    const TerminalOutcome outcome =
        ExchangeTerminalCommand(CompleteTerminalCommand(context.arguments[0]));
    if (!outcome.replied)
        return Fail(context, FailureTexts::noReply);
    context.out << outcome.reply << "\n";
    return CliStatus::Success;
}

void PrintValues(const CliContext& context, std::initializer_list<int32_t> values) {
    const char* separator = "";
    for (const int32_t value : values) {
        context.out << separator << value;
        separator = " ";
    }
    context.out << "\n";
}

CliStatus ReadProtocolCommand(const CliContext& context) {
    int32_t dt = 0, it1 = 0, it2 = 0, rest = 0, wl0 = 0, wl1 = 0, wl2 = 0;
    std::string errorText;
    if (!AdcLink::ReadProtocol(dt, it1, it2, rest, wl0, wl1, wl2, errorText))
        return Fail(context, errorText);
    PrintValues(context, {dt, it1, it2, rest, wl0, wl1, wl2});
    return CliStatus::Success;
}

CliStatus DefineProtocolCommand(const CliContext& context) {
    int32_t dt = Argument(context, 0), it1 = Argument(context, 1), it2 = Argument(context, 2),
            rest = Argument(context, 3), wl0 = Argument(context, 4), wl1 = Argument(context, 5),
            wl2 = Argument(context, 6);
    std::string errorText;
    const bool defined = AdcLink::DefineProtocol(dt, it1, it2, rest, wl0, wl1, wl2, errorText);
    // The values as they stand now, corrected where the check corrected them.
    PrintValues(context, {dt, it1, it2, rest, wl0, wl1, wl2});
    return defined ? CliStatus::Success : Fail(context, errorText);
}

CliStatus ReadCalibrationCommand(const CliContext& context) {
    int32_t lowWavelength = 0, lowCounts = 0, highWavelength = 0, highCounts = 0;
    if (!AdcLink::ReadCalibration(lowWavelength, lowCounts, highWavelength, highCounts))
        return Fail(context, FailureTexts::noCalibration);
    PrintValues(context, {lowWavelength, lowCounts, highWavelength, highCounts});
    return CliStatus::Success;
}

CliStatus WriteCalibrationCommand(const CliContext& context) {
    std::string errorText;
    if (!AdcLink::WriteCalibration(Argument(context, 0), Argument(context, 1), Argument(context, 2),
                                   Argument(context, 3), errorText))
        return Fail(context, errorText);
    return CliStatus::Success;
}

// The DA output takes 12 bits: a count beyond them is a typing error, not
// something to send for the controller to clamp or refuse.
bool CheckCounts(const std::vector<std::string>& arguments, std::string& reason) {
    int32_t counts = -1;
    ParseInt32(arguments[0], counts); // an integer: checked before
    if (counts >= 0 && counts <= 4095)
        return true;
    reason = "counts out of 0..4095: " + arguments[0];
    return false;
}

CliStatus ProbeCommand(const CliContext& context) {
    int32_t value = Argument(context, 0);
    if (!AdcLink::ProbeAnalogChannel(value))
        return Fail(context, FailureTexts::noProbeReading);
    context.out << value << "\n";
    return CliStatus::Success;
}

} // namespace

const std::vector<CliCommand>& CliCommandTable() {
    static const std::vector<CliCommand> table = {
        {"ports", "[--long]", -1, false, false, ListPorts, CheckPortsArguments},
        {"id", "", 0, false, true, ShowVersion},
        {"range", "", 0, false, true, ShowRange},
        {"set-wavelength", "NM", 1, true, true, SetWavelengthCommand},
        {"send", "TEXT", 1, false, true, SendText, CheckSendText},
        {"read-protocol", "", 0, false, true, ReadProtocolCommand},
        {"define-protocol", "DT IT1 IT2 REST WL0 WL1 WL2", 7, true, true, DefineProtocolCommand},
        {"read-calibration", "", 0, false, true, ReadCalibrationCommand},
        {"write-calibration", "LW LC HW HC", 4, true, true, WriteCalibrationCommand},
        {"probe", "COUNTS", 1, true, true, ProbeCommand, CheckCounts},
        {"sweep", "[--samples N] [--save FILE]", -1, false, true, PeakSweepCommand,
         CheckPeakSweepArguments},
        {"sweep-bands", "[--samples N] [--wavelengths LW MW HW] [--save FILE] [--check]", -1, false,
         true, BandSweepCommand, CheckBandSweepArguments},
    };
    return table;
}

const CliCommand* FindCliCommand(const std::string& name) {
    for (const CliCommand& command : CliCommandTable())
        if (name == command.name)
            return &command;
    return nullptr;
}
