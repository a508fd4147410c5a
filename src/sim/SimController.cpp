#include "sim/SimController.h"

#include "sim/SimOptics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

const char versionLine[] = "ADC-SIM 1.0";
constexpr int32_t minProtocolTime = 30; // tenths of a millisecond (3 ms)

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A 32-bit signed decimal: optional sign, digits only.
bool ParseArgument(const std::string& text, int64_t& value) {
    const std::string t = Trim(text);
    const size_t digits = (!t.empty() && (t[0] == '-' || t[0] == '+')) ? 1 : 0;
    if (t.size() == digits || t.size() > digits + 10)
        return false;
    for (size_t i = digits; i < t.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(t[i])))
            return false;
    value = std::strtoll(t.c_str(), nullptr, 10);
    return value >= std::numeric_limits<int32_t>::min() &&
           value <= std::numeric_limits<int32_t>::max();
}

int32_t ClampCounts(double value) {
    return static_cast<int32_t>(std::lround(std::clamp(value, 0.0, double(SimOptics::maxCounts))));
}

// A calibration may stretch the range far beyond what 32 bits hold.
int32_t RoundToInt32(double value) {
    return static_cast<int32_t>(
        std::lround(std::clamp(value, double(std::numeric_limits<int32_t>::min()),
                               double(std::numeric_limits<int32_t>::max()))));
}

double WavelengthAtCounts(const SimCalibration& c, double counts) {
    return c.lowWavelength + (counts - c.lowCounts) * (double(c.highWavelength) - c.lowWavelength) /
                                 (double(c.highCounts) - c.lowCounts);
}

double CountsAtWavelength(const SimCalibration& c, double nm) {
    return c.lowCounts + (nm - c.lowWavelength) * (double(c.highCounts) - c.lowCounts) /
                             (double(c.highWavelength) - c.lowWavelength);
}

} // namespace

SimController::SimController(const SimOptions& options)
    : options(options), filterBands(options.filterBands), noise(options.seed),
      faults(options.seed ^ 0x5A5A5A5A5A5A5A5Aull) {}

int32_t SimController::MinWavelength() const {
    return RoundToInt32(std::min(WavelengthAtCounts(calibration, 0),
                                 WavelengthAtCounts(calibration, SimOptics::maxCounts)));
}

int32_t SimController::MaxWavelength() const {
    return RoundToInt32(std::max(WavelengthAtCounts(calibration, 0),
                                 WavelengthAtCounts(calibration, SimOptics::maxCounts)));
}

SimReply SimController::Respond(const std::string& line) {
    std::string received = line;
    while (!received.empty() && (received.back() == '\r' || received.back() == '\n'))
        received.pop_back();
    ++commandCount;

    const std::string command = received.substr(0, received.find(';'));
    const size_t comma = command.find(',');
    std::string mnemonic = Trim(command.substr(0, comma));
    std::transform(mnemonic.begin(), mnemonic.end(), mnemonic.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    std::vector<int64_t> args;
    bool argsValid = true;
    if (comma != std::string::npos) {
        size_t start = comma + 1;
        for (;;) {
            const size_t next = command.find(',', start);
            int64_t value = 0;
            argsValid = ParseArgument(command.substr(start, next - start), value) && argsValid;
            args.push_back(value);
            if (next == std::string::npos)
                break;
            start = next + 1;
        }
    }

    // The command takes effect even when a fault swallows or spoils its reply.
    const std::string answer = Answer(mnemonic, args, argsValid);

    SimReply reply;
    if (options.echo)
        reply.bytes = received + "\r\n";
    if (options.dropEvery > 0 && commandCount % options.dropEvery == 0)
        return reply;
    reply.bytes += options.garbage ? GarbageLine() : answer + "\r\n";
    reply.hangUp = options.hangUpAfter > 0 && commandCount == options.hangUpAfter;
    reply.babble = options.babble && commandCount == 1;
    return reply;
}

std::string SimController::Answer(const std::string& mnemonic, const std::vector<int64_t>& args,
                                  bool argsValid) {
    const bool bare = args.empty();
    if (mnemonic == "ID" && bare)
        return versionLine;
    if (mnemonic == "RS" && bare)
        return "RS,0!";
    if (mnemonic == "RP" && bare) {
        const SimProtocol& p = protocol;
        return std::to_string(p.dt) + "," + std::to_string(p.it1) + "," + std::to_string(p.it2) +
               "," + std::to_string(p.restingTime) + "," + std::to_string(p.wl0) + "," +
               std::to_string(p.wl1) + "," + std::to_string(p.wl2);
    }
    if (mnemonic == "RC" && bare) {
        const SimCalibration& c = calibration;
        return std::to_string(c.lowWavelength) + "," + std::to_string(c.lowCounts) + "," +
               std::to_string(c.highWavelength) + "," + std::to_string(c.highCounts);
    }
    if (mnemonic == "RC" && argsValid && args.size() == 1 && args[0] == 1) {
        if (options.rangeProbe)
            return "RC,1!";
        return "(" + std::to_string(MinWavelength()) + "," + std::to_string(MaxWavelength()) + ")";
    }
    if (mnemonic == "RA" && argsValid && args.size() == 1 && args[0] == 1)
        return "RA,1," + std::to_string(ReadDetector());

    std::string refusal = mnemonic + ",1!";
    if (mnemonic == "WL")
        return argsValid ? SetWavelength(args) : refusal;
    if (mnemonic == "PD")
        return argsValid ? DefineProtocol(args) : refusal;
    if (mnemonic == "WC")
        return argsValid ? WriteCalibration(args) : refusal;
    if (mnemonic == "SF")
        return argsValid ? SetFilter(args) : refusal;
    if (mnemonic == "WA") {
        if (!argsValid || args.size() != 2 || args[0] != 1)
            return refusal;
        counts = ClampCounts(double(args[1]));
        return "WA,0!";
    }
    return "??";
}

std::string SimController::SetWavelength(const std::vector<int64_t>& args) {
    if (args.size() != 1)
        return "WL,1!";
    const int64_t nm = args[0];
    const int32_t low = MinWavelength();
    const int32_t high = MaxWavelength();
    // The two probes of a controller that cannot report its range: it clamps
    // the wavelength, goes there and names the wavelength it went to.
    if (options.rangeProbe && (nm == 1000 || nm == 0)) {
        const int32_t clamped = nm == 0 ? low : high;
        counts = ClampCounts(CountsAtWavelength(calibration, clamped));
        return std::to_string(clamped);
    }
    if (nm < low || nm > high)
        return "WL,1!";
    counts = ClampCounts(CountsAtWavelength(calibration, double(nm)));
    return "WL,0!";
}

std::string SimController::DefineProtocol(const std::vector<int64_t>& args) {
    SimProtocol p;
    if (args.size() == 5) {
        p = {int32_t(args[0]), int32_t(args[1]), 0, int32_t(args[2]),
             int32_t(args[3]), int32_t(args[4]), 0};
    } else if (args.size() == 7) {
        p = {int32_t(args[0]), int32_t(args[1]), int32_t(args[2]), int32_t(args[3]),
             int32_t(args[4]), int32_t(args[5]), int32_t(args[6])};
    } else {
        return "PD,1!";
    }
    const bool twoWavelengths = args.size() == 7;
    const int32_t low = MinWavelength();
    const int32_t high = MaxWavelength();
    auto inRange = [&](int32_t nm) { return nm >= low && nm <= high; };
    const bool timesOk = p.dt >= minProtocolTime && p.it1 >= minProtocolTime &&
                         (!twoWavelengths || p.it2 >= minProtocolTime) &&
                         p.restingTime >= minProtocolTime;
    const bool wavelengthsOk =
        inRange(p.wl0) && inRange(p.wl1) && (!twoWavelengths || inRange(p.wl2));
    if (!timesOk || !wavelengthsOk)
        return "PD,1!";
    protocol = p;
    return "PD,0!";
}

std::string SimController::WriteCalibration(const std::vector<int64_t>& args) {
    if (args.size() != 4)
        return "WC,1!";
    auto isCounts = [](int64_t c) { return c >= 0 && c <= SimOptics::maxCounts; };
    // Equal wavelengths or equal counts would make the line through the two
    // points vertical or flat: no wavelength could be set any more.
    if (!isCounts(args[1]) || !isCounts(args[3]) || args[0] == args[2] || args[1] == args[3])
        return "WC,1!";
    calibration = {int32_t(args[0]), int32_t(args[1]), int32_t(args[2]), int32_t(args[3])};
    return "WC,0!";
}

std::string SimController::SetFilter(const std::vector<int64_t>& args) {
    if (args.size() != 0 && args.size() != 1 && args.size() != 3)
        return "SF,1!";
    for (int64_t centre : args)
        if (centre <= 0)
            return "SF,1!";
    filterBands.assign(args.begin(), args.end());
    return "SF,0!";
}

int32_t SimController::ReadDetector() {
    const double ideal = SimOptics::IdealReading(filterBands, counts);
    return ClampCounts(ideal + options.noiseSigma * noise.Gaussian());
}

std::string SimController::GarbageLine() {
    const size_t length = 1 + faults.Next() % 32;
    std::string line;
    while (line.size() < length) {
        const char byte = static_cast<char>(faults.Next() & 0xFF);
        if (byte != '\r' && byte != '\n')
            line += byte;
    }
    return line + "\r\n";
}

std::string SimController::BabbleBytes(size_t count) {
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes += static_cast<char>('!' + faults.Next() % 94); // '!' .. '~'
    return bytes;
}
