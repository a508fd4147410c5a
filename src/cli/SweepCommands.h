#pragma once

#include "cli/CliCommands.h"

#include <cstdint>
#include <string>
#include <vector>

// vornadc-cli sweep and sweep-bands: the sweeps of the two calibration pages.

struct SweepOptions {
    int32_t samples = 0;                // as normalised for the settings, before the 4096 bound
    int32_t wavelengths[3] = {0, 0, 0}; // nm, low / middle / high; 0: complete from the others
    std::string savePath;               // empty: no file
    bool check = false;                 // sweep-bands: the middle band against the low-high line
};

// "[--samples N] [--wavelengths LW MW HW] [--save FILE] [--check]" (also
// --name=VALUE for --samples and --save); --wavelengths and --check only when
// withWavelengths. The sample
// count is normalised as the pages normalise their "Values".
bool ParseSweepOptions(const std::vector<std::string>& arguments, bool withWavelengths,
                       int32_t defaultSamples, SweepOptions& options, std::string& reason);

bool CheckPeakSweepArguments(const std::vector<std::string>& arguments, std::string& reason);
bool CheckBandSweepArguments(const std::vector<std::string>& arguments, std::string& reason);

// Prints the refined peak counts.
CliStatus PeakSweepCommand(const CliContext& context);
// Prints "low|middle|high COUNTS INTENSITY WAVELENGTH", one line a band; with
// --check a fourth, "linearity NM COUNTS" or "linearity unavailable".
CliStatus BandSweepCommand(const CliContext& context);
