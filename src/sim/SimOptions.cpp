#include "sim/SimOptions.h"

#include "serial/network/NetworkAddress.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

bool ParseInteger(const std::string& text, int64_t low, int64_t high, int64_t& value) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

bool ParseNumber(const std::string& text, double& value) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool ParseBands(const std::string& text, std::vector<double>& bands) {
    std::vector<double> parsed;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        double centre = 0.0;
        if (!ParseNumber(text.substr(start, comma - start), centre) || centre <= 0.0)
            return false;
        parsed.push_back(centre);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (parsed.size() != 1 && parsed.size() != 3)
        return false;
    bands = parsed;
    return true;
}

bool ParseFault(const std::string& text, SimOptions& options) {
    const int64_t maxCount = std::numeric_limits<int32_t>::max();
    int64_t k = 0;
    if (text == "garbage") {
        options.garbage = true;
    } else if (text == "babble") {
        options.babble = true;
    } else if (text.rfind("drop:", 0) == 0 && ParseInteger(text.substr(5), 1, maxCount, k)) {
        options.dropEvery = static_cast<int32_t>(k);
    } else if (text.rfind("hangup:", 0) == 0 && ParseInteger(text.substr(7), 1, maxCount, k)) {
        options.hangUpAfter = static_cast<int32_t>(k);
    } else {
        return false;
    }
    return true;
}

// HOST:PORT as a network port names it, or with port 0 for one the system picks.
bool ParseListenAddress(const std::string& text, SimOptions& options) {
    const bool anyPort = text.size() > 2 && text.compare(text.size() - 2, 2, ":0") == 0;
    NetworkAddress address;
    std::string reason;
    if (!ParseNetworkAddress(anyPort ? text.substr(0, text.size() - 1) + "1" : text, address,
                             reason) ||
        text.find("://") != std::string::npos)
        return false;
    options.listenHost = address.host;
    options.listenPort = anyPort ? "0" : address.port;
    return true;
}

} // namespace

bool ParseSimArguments(const std::vector<std::string>& arguments, SimOptions& options,
                       std::string& errorText) {
    SimOptions parsed = options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        if (name == "--echo" || name == "--range-probe") {
            if (hasValue) {
                errorText = name + " takes no value";
                return false;
            }
            (name == "--echo" ? parsed.echo : parsed.rangeProbe) = true;
            continue;
        }
        const bool takesValue = name == "--noise" || name == "--seed" || name == "--baud" ||
                                name == "--filter" || name == "--fault" || name == "--log" ||
                                name == "--listen";
        if (!takesValue) {
            errorText = "unknown option: " + arguments[i];
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                errorText = name + " needs a value";
                return false;
            }
            value = arguments[++i];
        }
        int64_t integer = 0;
        bool ok = true;
        if (name == "--noise") {
            ok = ParseNumber(value, parsed.noiseSigma) && parsed.noiseSigma >= 0.0;
        } else if (name == "--seed") {
            ok = ParseInteger(value, 0, std::numeric_limits<int64_t>::max(), integer);
            parsed.seed = static_cast<uint64_t>(integer);
        } else if (name == "--baud") {
            // 50 baud is the slowest rate a serial line offers; above ~4 Mbaud pacing is moot.
            ok = ParseInteger(value, 50, 4000000, integer);
            parsed.baud = static_cast<int32_t>(integer);
        } else if (name == "--filter") {
            ok = ParseBands(value, parsed.filterBands);
        } else if (name == "--fault") {
            ok = ParseFault(value, parsed);
        } else if (name == "--listen") {
            ok = ParseListenAddress(value, parsed);
        } else {
            ok = !value.empty();
            parsed.logPath = value;
        }
        if (!ok) {
            errorText = "invalid value for " + name;
            errorText += ": " + value;
            return false;
        }
    }
    options = parsed;
    return true;
}

std::string SimUsage() {
    return "Usage: adc-sim [options]\n"
           "Runs the simulated ADC controller on a pseudo-terminal, prints the terminal's path\n"
           "on the first line and serves until interrupted. With --listen it serves over raw\n"
           "TCP instead, one connection at a time, and prints the port name to open,\n"
           "socket://HOST:PORT (on Windows, which has no pseudo-terminals, it needs --listen).\n"
           "\n"
           "  --echo              send each command line back before its reply\n"
           "  --range-probe       answer \"RC,1!\" to RC,1; the range then comes from WL,1000; "
           "and WL,0;\n"
           "  --noise SIGMA       detector noise in counts (default 3; 0 for exact readings)\n"
           "  --seed N            noise seed (default 1); equal seeds repeat a run\n"
           "  --baud B            pace bytes both ways at B baud, 10 bit times a byte\n"
           "  --filter W          start with a single-band filter centred at W nm\n"
           "  --filter W1,W2,W3   start with a three-band filter\n"
           "  --fault drop:K      no reply to every K-th command\n"
           "  --fault hangup:K    hang up the line after the K-th command's reply\n"
           "  --fault garbage     a line of random bytes instead of each reply\n"
           "  --fault babble      after the first reply, bytes without LF forever\n"
           "  --log FILE          log every byte both ways\n"
           "  --listen HOST:PORT  serve over raw TCP on HOST:PORT (port 0: any free one)\n"
           "  --help              show this text\n";
}

bool TakeSimCommandLine(const std::vector<std::string>& arguments, SimOptions& options,
                        int& exitStatus) {
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            std::fputs(SimUsage().c_str(), stdout);
            exitStatus = 0;
            return false;
        }
    }
    std::string errorText;
    if (!ParseSimArguments(arguments, options, errorText)) {
        std::fprintf(stderr, "adc-sim: %s\n\n%s", errorText.c_str(), SimUsage().c_str());
        exitStatus = 2;
        return false;
    }
    return true;
}
