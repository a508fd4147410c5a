#pragma once

#include <string>

// The raw-command exchange of the Terminal page.

// The command as it is sent and remembered: ";" appended when missing. An
// empty text stays empty (nothing is sent then).
std::string CompleteTerminalCommand(const std::string& typed);

struct TerminalOutcome {
    bool sent = false;    // the command line was written
    bool replied = false; // a reply line was read
    std::string reply;
};

// Sends the completed command with CR LF (when it is not empty), then reads
// one reply whether or not anything was sent, so a pending line is shown too.
TerminalOutcome ExchangeTerminalCommand(const std::string& completed);
