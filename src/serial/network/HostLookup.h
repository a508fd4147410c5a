#pragma once

#include "serial/Deadline.h"

#include <string>

struct addrinfo;
struct NetworkAddress;

// What both socket layers of NetworkConnection share: the lookup that cannot
// outlast its deadline, and the words of a failed connect.

// False when the deadline passed first; otherwise status is the lookup's
// (through hostLookup), and result, on success, is the caller's to free.
bool ResolveWithin(const NetworkAddress& address, Deadline deadline, int& status,
                   addrinfo*& result);

// " (HOST port PORT)", the end of every reason about a connection.
std::string Where(const NetworkAddress& address);

// " within 3 s", or with a tenth for a limit that is not whole seconds.
std::string Within(int limitMs);
