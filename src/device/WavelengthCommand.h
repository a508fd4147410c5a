#pragma once

#include <cstdint>
#include <string>

// The WL exchange of the Set wavelength page, in two steps so that the caller
// can show the "trying" line (and the command) before the exchange blocks.
struct WavelengthRequest {
    int32_t wavelength = 0; // clamped value that is sent, nm
    std::string command;    // "WL,N;\r\n"
    std::string tryingText; // status line while the exchange runs
};

struct WavelengthOutcome {
    bool success = false;
    std::string statusText; // final status line
    std::string reply;      // the reply line; empty when nothing was sent or read
};

// Below min gives min; then above max gives max (so max wins when min > max).
int32_t ClampWavelength(int32_t requested, int32_t rangeMin, int32_t rangeMax);
WavelengthRequest PrepareWavelength(int32_t requested, int32_t rangeMin, int32_t rangeMax);
WavelengthOutcome SetWavelength(const WavelengthRequest& request);
