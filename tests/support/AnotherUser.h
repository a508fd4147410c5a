#pragma once

#include <string>

// A plain open(2) of path, as any other program would do it, from a child
// that has given up root (root passes a terminal's exclusive mode). Returns 0
// when it opened, else its errno; 255 when root could not be given up.
int PlainOpenErrorAsAnotherUser(const std::string& path);
