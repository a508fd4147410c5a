#include "cli/CliCommands.h"
#include "cli/Interrupt.h"

#include <iostream>

int main(int argc, char** argv) {
    CliInterrupt::Catch();
    return RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
