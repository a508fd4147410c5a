#pragma once

#include <cstddef>
#include <string>

// Every reason a port gives for a failure is one line of at most this many
// characters, so it fits the message box and a log line.
constexpr std::size_t reasonLimit = 255;

// The system's text for an error number, made fit as OneLineReason does.
std::string SystemErrorText(int errorNumber);

// The error number whose text (as SystemErrorText gives it) opens reason,
// followed by its end, a blank or a comma: what a caller that only kept the
// reason can still tell the system's callers. 0 when no system text opens it
// (a resolver's or a server's own words).
int ErrorNumberOf(const std::string& reason);

// A reason made fit for an error message: line breaks become blanks, and it
// is cut at reasonLimit characters; a cut that leaves a parenthesis open ends
// in "...)".
std::string OneLineReason(std::string text);
