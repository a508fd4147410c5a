#include "cli/SweepCommands.h"

#include "calibration/core/BandSweep.h"
#include "calibration/core/CalibrationFile.h"
#include "calibration/core/CalibrationLine.h"
#include "calibration/core/PeakSweep.h"
#include "calibration/core/SampleGrid.h"
#include "cli/CliArguments.h"
#include "cli/Interrupt.h"
#include "device/AdcLink.h"
#include "device/FailureTexts.h"

#include <ostream>

namespace {

// The pages' defaults for "Values".
constexpr int32_t peakSamples = 1024;
constexpr int32_t bandSamples = 256;

// The value of "--name VALUE" or "--name=VALUE" at arguments[i].
bool OptionValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
                 std::string& value, bool& matched, std::string& reason) {
    const std::string& word = arguments[i];
    matched = word == name || word.compare(0, name.size() + 1, name + "=") == 0;
    if (!matched)
        return true;
    if (word.size() > name.size()) {
        value = word.substr(name.size() + 1);
        return true;
    }
    if (i + 1 >= arguments.size()) {
        reason = name + " needs a value";
        return false;
    }
    value = arguments[++i];
    return true;
}

bool ParseInteger(const std::string& text, int32_t& value, std::string& reason) {
    if (ParseInt32(text, value))
        return true;
    reason = "not a 32-bit integer: " + text;
    return false;
}

CliStatus SaveIfAsked(const CliContext& context, const SweepOptions& options,
                      const std::vector<int32_t>& samples) {
    if (options.savePath.empty())
        return CliStatus::Success;
    std::string errorText;
    if (!CalibrationCore::WriteCalibrationFile(options.savePath, samples, options.samples,
                                               errorText)) {
        context.err << errorText << "\n";
        return CliStatus::DeviceFailure;
    }
    return CliStatus::Success;
}

CliStatus SweepFailed(const CliContext& context) {
    // A sweep that Ctrl+C stopped did not fail: the runner says what happened.
    if (CliInterrupt::Requested())
        return CliStatus::Interrupted;
    context.err << FailureTexts::sweepFailed << "\n";
    return CliStatus::DeviceFailure;
}

} // namespace

bool ParseSweepOptions(const std::vector<std::string>& arguments, bool withWavelengths,
                       int32_t defaultSamples, SweepOptions& options, std::string& reason) {
    int32_t samples = defaultSamples;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string value;
        bool matched = false;
        if (!OptionValue(arguments, i, "--samples", value, matched, reason))
            return false;
        if (matched) {
            if (!ParseInteger(value, samples, reason))
                return false;
            continue;
        }
        if (!OptionValue(arguments, i, "--save", value, matched, reason))
            return false;
        if (matched) {
            if (value.empty()) {
                reason = "--save needs a file name";
                return false;
            }
            options.savePath = value;
            continue;
        }
        if (withWavelengths && arguments[i] == "--wavelengths") {
            if (i + 3 >= arguments.size()) {
                reason = "--wavelengths needs three values";
                return false;
            }
            for (int32_t& wavelength : options.wavelengths)
                if (!ParseInteger(arguments[++i], wavelength, reason))
                    return false;
            continue;
        }
        if (withWavelengths && arguments[i] == "--check") {
            options.check = true;
            continue;
        }
        reason = "unknown argument " + arguments[i];
        return false;
    }
    options.samples = CalibrationCore::NormaliseSampleCount(samples);
    return true;
}

bool CheckPeakSweepArguments(const std::vector<std::string>& arguments, std::string& reason) {
    SweepOptions options;
    return ParseSweepOptions(arguments, false, peakSamples, options, reason);
}

bool CheckBandSweepArguments(const std::vector<std::string>& arguments, std::string& reason) {
    SweepOptions options;
    return ParseSweepOptions(arguments, true, bandSamples, options, reason);
}

CliStatus PeakSweepCommand(const CliContext& context) {
    SweepOptions options;
    std::string reason;
    ParseSweepOptions(context.arguments, false, peakSamples, options, reason); // checked before
    std::vector<int32_t> samples;
    int32_t counts = 0;
    if (!CalibrationCore::SweepForPeak(options.samples, samples, counts,
                                       AdcLink::ProbeAnalogChannel, {}, &CliInterrupt::Requested()))
        return SweepFailed(context);
    context.out << counts << "\n";
    return SaveIfAsked(context, options, samples);
}

CliStatus BandSweepCommand(const CliContext& context) {
    SweepOptions options;
    std::string reason;
    ParseSweepOptions(context.arguments, true, bandSamples, options, reason); // checked before
    std::vector<int32_t> samples;
    CalibrationCore::Bands bands;
    bands.low.wavelength = options.wavelengths[0];
    bands.middle.wavelength = options.wavelengths[1];
    bands.high.wavelength = options.wavelengths[2];
    if (!CalibrationCore::SweepForBands(options.samples, samples, bands,
                                        AdcLink::ProbeAnalogChannel, {},
                                        &CliInterrupt::Requested()))
        return SweepFailed(context);
    const struct {
        const char* name;
        const CalibrationCore::Band& band;
    } lines[] = {{"low", bands.low}, {"middle", bands.middle}, {"high", bands.high}};
    for (const auto& line : lines)
        context.out << line.name << " " << line.band.counts << " " << line.band.intensity << " "
                    << line.band.wavelength << "\n";
    if (options.check) {
        // a wavelength given as 0 was completed from the line: it tells nothing
        const bool given = options.wavelengths[0] != 0 && options.wavelengths[1] != 0 &&
                           options.wavelengths[2] != 0;
        context.out << "linearity "
                    << CalibrationCore::LinearityFigures(
                           CalibrationCore::MiddleBandLinearity(bands, given))
                    << "\n";
    }
    return SaveIfAsked(context, options, samples);
}
