// hold-port PATH: holds a serial device the way the program does (exclusive
// open and lock), prints "held" once it has it, and lets go when its standard
// input closes. The other process that keeps a port busy in the fault tests.
#include "serial/SerialPort.h"

#include <cstdio>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: hold-port PATH\n", stderr);
        return 2;
    }
    SerialPort port;
    std::string systemText;
    if (!port.Open(argv[1], systemText)) {
        std::fprintf(stderr, "hold-port: %s\n", systemText.c_str());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    char byte = 0;
    while (::read(0, &byte, 1) > 0) {
    }
    return 0;
}
