#pragma once

#include <string>
#include <sys/types.h>

// Another process that holds a port: runs hold-port on a path and waits until
// it reports that the port is held. The port is let go when the holder is
// destroyed.
class PortHolder {
public:
    PortHolder() = default;
    ~PortHolder();
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    // False, with a reason, when the holder could not start or take the port.
    bool Hold(const std::string& path, std::string& error);
    void Release();

private:
    pid_t child = -1;
    int input = -1; // the holder's standard input; closing it lets the port go
};
