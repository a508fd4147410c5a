#include "device/TerminalCommand.h"

#include "device/AdcLink.h"

std::string CompleteTerminalCommand(const std::string& typed) {
    if (typed.empty() || typed.back() == ';')
        return typed;
    return typed + ";";
}

bool HoldsLineEnd(const std::string& typed) {
    return typed.find_first_of("\r\n") != std::string::npos;
}

TerminalOutcome ExchangeTerminalCommand(const std::string& completed) {
    TerminalOutcome outcome;
    if (HoldsLineEnd(completed)) {
        outcome.refused = true;
        return outcome;
    }
    if (!completed.empty())
        outcome.sent = AdcLink::SendCommand(completed + "\r\n");
    outcome.replied = AdcLink::ReadReply(outcome.reply);
    if (!outcome.replied)
        outcome.reply.clear();
    return outcome;
}
