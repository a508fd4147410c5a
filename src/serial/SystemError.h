#pragma once

#include <cstddef>
#include <string>

// Every reason a port gives for a failure is one line of at most this many
// characters, so it fits the message box and a log line.
constexpr std::size_t reasonLimit = 255;

// The system's text for an error number, made fit as OneLineReason does.
std::string SystemErrorText(int errorNumber);

// A reason made fit for an error message: line breaks become blanks, and it
// is cut at reasonLimit characters; a cut that leaves a parenthesis open ends
// in "...)".
std::string OneLineReason(std::string text);
