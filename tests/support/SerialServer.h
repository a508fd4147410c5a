#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// Debian's ser2net, started for a test or a benchmark on 127.0.0.1 with a
// generated configuration: one connection per pseudo-terminal given, raw TCP,
// Telnet with RFC 2217 or plain Telnet, each on a port picked free; or
// pyserial's example RFC 2217 server in front of one pseudo-terminal.
// Stopped (and its files removed) when Stop is called or the object goes away.
class SerialServer {
public:
    enum class Kind { Tcp, Rfc2217, Telnet };
    struct Connection {
        Kind kind;
        std::string devicePath; // a pseudo-terminal's slave side
    };

    SerialServer() = default;
    ~SerialServer();
    SerialServer(const SerialServer&) = delete;
    SerialServer& operator=(const SerialServer&) = delete;

    // The ser2net program, or "" when it is not installed.
    static std::string Program();
    // pyserial's example server, or "" when python3-serial's examples are not there.
    static std::string PyserialExample();

    // Starts and waits until every port listens; false with a reason.
    bool Start(const std::vector<Connection>& connections, std::string& error);
    bool StartPyserial(const std::string& devicePath, std::string& error);
    // Ends the server at once, as a server that goes away (SIGKILL when hard).
    void Stop(bool hard = false);

    // "socket://127.0.0.1:PORT" or "rfc2217://127.0.0.1:PORT" (for either
    // Telnet) of connection i.
    std::string PortName(std::size_t i) const;
    int TcpPort(std::size_t i) const { return ports[i]; }

private:
    // Runs the program with its arguments and waits until every port listens.
    bool Launch(const std::vector<std::string>& words, std::string& error);
    // Picks the ports, then Launch with the words made for them; tried again
    // on fresh ports when the server does not come up.
    bool LaunchOnFreePorts(const std::function<std::vector<std::string>()>& words,
                           std::string& error);

    std::vector<Connection> served;
    std::vector<int> ports;
    std::string folder;
    pid_t pid = -1;
};

// TCP ports on 127.0.0.1 that nothing listens on at this moment, distinct.
std::vector<int> FreeLoopbackPorts(std::size_t count);
int FreeLoopbackPort();
