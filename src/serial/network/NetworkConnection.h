#pragma once

#include "serial/Deadline.h"
#include "serial/PortNotes.h"

#include <cstddef>
#include <string>
#include <utility>

struct addrinfo;
struct NetworkAddress;

// A TCP connection to a serial server, the part both network ports share:
// connecting within a bound, writes that never raise SIGPIPE, and waits for
// input that end at a deadline. Closed when destroyed. Its notes say where it
// connected ("connected HOST port PORT") and how it ended ("disconnected" by
// us, "closed-by-server").
class NetworkConnection {
public:
    // Resolving and connecting together give up after this long; the window
    // is blocked meanwhile, as for every exchange.
    static constexpr int connectLimitMs = 3000;
    // A server that closes a new connection at once may still be releasing
    // its device after an earlier one; it is called again after this pause.
    static constexpr int retryPauseMs = 100;

    NetworkConnection() = default;
    ~NetworkConnection();
    NetworkConnection(const NetworkConnection&) = delete;
    NetworkConnection& operator=(const NetworkConnection&) = delete;

    void SetNotes(PortNotes sink) { notes = std::move(sink); }

    // Resolves and connects within limitMs; on failure (refused, host not
    // found, no answer) reason is one line.
    bool Connect(const NetworkAddress& address, std::string& reason, int limitMs = connectLimitMs);
    void Close();
    // Closes, pauses retryPauseMs and connects again, all before the
    // deadline; false when too little time is left or the connection fails.
    bool Reconnect(const NetworkAddress& address, Deadline deadline);

    // Sends as much as the connection takes before the deadline; returns the
    // bytes handed over, or -1 when the connection failed before any.
    long Send(const char* data, std::size_t size, Deadline deadline);

    Readiness WaitReadable(Deadline deadline) const;
    // What has arrived, without waiting: bytes read, 0 when nothing is
    // waiting, -1 when the connection is closed or broken.
    long Receive(char* buffer, std::size_t size);

private:
    void Note(const char* what, const std::string& text = {}) const;

    int fd = -1; // on Windows the SOCKET, whose value fits 32 bits
    bool closedByServer = false;
    PortNotes notes;
};

// getaddrinfo(3) by default (POSIX sockets or Winsock). Tests put their own
// resolver here, so that "host not found" and a resolver that hangs need no
// name service.
using HostLookup = int (*)(const char* host, const char* service, const addrinfo* hints,
                           addrinfo** result);
extern HostLookup hostLookup;
