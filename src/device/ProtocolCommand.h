#pragma once

#include <cstdint>
#include <string>

// The protocol exchanges of the Wavelength Protocol page, in the page's units:
// times in milliseconds, converted to and from the link's tenths as the page
// converts them.

struct ProtocolInMs {
    double ct = 0;   // cycle time, ms
    double dt = 0;   // dead time, ms
    double it1 = 0;  // integration time 1, ms
    double it2 = 0;  // integration time 2, ms (not part of a single-wavelength cycle)
    int32_t wl0 = 0; // resting wavelength, nm
    int32_t wl1 = 0; // nm
    int32_t wl2 = 0; // nm; shows wl1 in single-wavelength mode
    bool singleWavelength = false;
};

enum class ProtocolApplied {
    Defined,        // sent and accepted
    CycleCorrected, // the cycle time was too short: ct corrected, nothing sent
    NotDefined,     // DefineProtocol refused, corrected or failed: errorText says why
};

// The reason given when the cycle time is shorter than the sum of its parts.
extern const char* const invalidCycleText;

// The page's apply: the resting time the cycle time leaves, in tenths; a
// negative one corrects ct alone and sends nothing. Otherwise DefineProtocol
// (the short form in single-wavelength mode) with the tenths, and the fields
// brought in line with what was sent or corrected: times in ms of the tenths,
// ct from the parts, it2 0 and wl2 = wl1 in single-wavelength mode.
// errorText is written only when the result is not Defined.
ProtocolApplied ApplyProtocolInMs(ProtocolInMs& protocol, std::string& errorText);

// The page's read-back: ReadProtocol, then wl2 = 0 sets single-wavelength mode
// (and wl2 shows wl1), and the times and ct come in ms; ct counts one dead time
// when protocol.singleWavelength is set by then, two otherwise. A mode already
// set stays set. On failure protocol is untouched and errorText says why.
bool ReadProtocolInMs(ProtocolInMs& protocol, std::string& errorText);
