#pragma once

#include "cli/CliCommands.h"

#include <sstream>
#include <string>
#include <vector>

// vornadc-cli's run in this process: the exit status, both streams collected.
inline int RunInProcess(const std::vector<std::string>& words, std::string& out, std::string& err) {
    std::ostringstream o, e;
    const int status = RunCli(words, o, e);
    out = o.str();
    err = e.str();
    return status;
}
