#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The terminal's command history as the profile keeps it: the commands
// concatenated, each ending in ";".

// Every piece up to and including a ";", in order; text after the last ";" is dropped.
std::vector<std::string> SplitHistory(const std::string& recent);
// The first `limit` entries concatenated with no separator.
std::string JoinHistory(const std::vector<std::string>& entries, std::size_t limit = 10);
// The index of the first entry equal to text, letter case ignored (ASCII), or -1;
// the history and the port list both compare names this way.
int FindIgnoringCase(const std::vector<std::string>& entries, const std::string& text);

// The reply log keeps only its newest part: at most limit bytes, cut at the
// start of a line so that no reply is shown half. A reply line is at most
// 4096 bytes, so with a limit above that the newest reply always stays.
constexpr std::size_t replyLogLimit = std::size_t{64} * 1024;
void BoundReplyLog(std::string& log, std::size_t limit = replyLogLimit);
