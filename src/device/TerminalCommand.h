#pragma once

#include <string>

// The raw-command exchange of the Terminal page.

// The command as it is sent and remembered: ";" appended when missing. An
// empty text stays empty (nothing is sent then).
std::string CompleteTerminalCommand(const std::string& typed);

// A typed command that holds CR or LF would go out as two lines and draw two
// replies, so every later exchange would take the reply before its own. Such
// a command is refused before anything is sent.
bool HoldsLineEnd(const std::string& typed);
// The reason to show for that refusal.
inline constexpr const char* lineEndRefusal = "a command cannot hold a line end (CR or LF)";

struct TerminalOutcome {
    bool refused = false; // held a line end: nothing was sent and nothing read
    bool sent = false;    // the command line was written
    bool replied = false; // a reply line was read
    std::string reply;
};

// Sends the completed command with CR LF (when it is not empty), then reads
// one reply whether or not anything was sent, so a pending line is shown too.
// A command that holds a line end is refused: neither sent nor read for.
TerminalOutcome ExchangeTerminalCommand(const std::string& completed);
