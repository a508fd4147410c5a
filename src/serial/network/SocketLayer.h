#pragma once

#include "serial/Deadline.h"

#include <string>

struct addrinfo;

// What each socket layer gives NetworkConnection (NetworkConnection.cpp on
// POSIX sockets, NetworkConnectionWin32.cpp on Winsock), so that the lookup,
// the walk over the addresses found and the words of a failure are written
// once (NetworkConnectionShared.cpp).
namespace SocketLayer {

// Makes the sockets ready for use, once; false with the reason when the
// system cannot.
bool Start(std::string& reason);

// The system's error number for a connect that got no answer in time.
extern const int timedOut;

// Connects a non-blocking socket to one address before the deadline; the
// socket, or -1 with error set to the system's number.
int ConnectWithin(const addrinfo& to, Deadline deadline, int& error);
// Sets a connected socket up for commands and replies of a few bytes.
void Tune(int socket);
void CloseSocket(int socket);
// The system's words for a failed lookup's status, and for an error number.
std::string LookupErrorText(int status);
std::string ErrorText(int error);

} // namespace SocketLayer
