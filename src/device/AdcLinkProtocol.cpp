// Protocol commands: PD (define) and RP (read back).
#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"

#include <cstdint>

namespace AdcLink {

namespace {

// Shortest dead time, integration time and resting time: 3 ms in tenths.
constexpr int32_t shortestTime = 30;

// Corrects a wavelength outside the range to the end it passed; false if it had to.
bool CheckWavelength(int32_t& wavelength) {
    if (wavelength >= MinWavelength() && wavelength <= MaxWavelength())
        return true;
    wavelength = wavelength < MinWavelength() ? MinWavelength() : MaxWavelength();
    return false;
}

// int64 so that extreme caller values cannot overflow the sums.
bool SumTooSmall(int32_t a, int32_t b) {
    return int64_t{a} + b < shortestTime;
}

// The dead time that brings the sum with it up to the shortest time; held in
// the 32-bit range, which only an absurd integration time leaves.
int32_t DeadTimeFor(int32_t integrationTime) {
    const int64_t wanted = int64_t{shortestTime} - integrationTime;
    return wanted > INT32_MAX ? INT32_MAX : static_cast<int32_t>(wanted);
}

} // namespace

bool DefineProtocol(int32_t& dt, int32_t& it1, int32_t& it2, int32_t& restingTime, int32_t& wl0,
                    int32_t& wl1, int32_t& wl2, std::string& errorText) {
    if (SumTooSmall(dt, it1)) {
        dt = DeadTimeFor(it1);
        errorText = "Sum of dt and it1 too small";
        return false;
    }
    if (SumTooSmall(dt, it2)) {
        dt = DeadTimeFor(it2);
        errorText = "Sum of dt and it2 too small";
        return false;
    }
    if (restingTime < shortestTime) {
        restingTime = shortestTime;
        errorText = "Resting time (= ct - 2*dt - it1 - it2) too small";
        return false;
    }
    if (wl0 > MaxWavelength())
        wl0 = MaxWavelength();
    if (wl0 < MinWavelength())
        wl0 = MinWavelength();
    if (!CheckWavelength(wl1)) {
        errorText = "Wavelength 1 out of range";
        return false;
    }
    const bool oneWavelength = wl2 == 0;
    if (!oneWavelength && !CheckWavelength(wl2)) {
        errorText = "Wavelength 2 out of range";
        return false;
    }
    const std::string command =
        oneWavelength ? Detail::FormatCommand("PD", {dt, it1, restingTime, wl0, wl1})
                      : Detail::FormatCommand("PD", {dt, it1, it2, restingTime, wl0, wl1, wl2});
    std::string reply;
    if (!Detail::Exchange(command, reply, errorText))
        return false;
    if (reply.find("PD,0!") == std::string::npos) {
        errorText = "ADC doesn't accept parameters!";
        return false;
    }
    return true;
}

bool ReadProtocol(int32_t& dt, int32_t& it1, int32_t& it2, int32_t& restingTime, int32_t& wl0,
                  int32_t& wl1, int32_t& wl2, std::string& errorText) {
    std::string reply;
    if (!Detail::Exchange("RP;\r\n", reply, errorText))
        return false;
    int32_t numbers[10];
    if (ScanNumbers(numbers, reply) != 7) {
        errorText = "Wrong answer:\n" + reply;
        return false;
    }
    dt = numbers[0];
    it1 = numbers[1];
    it2 = numbers[2];
    restingTime = numbers[3];
    wl0 = numbers[4];
    wl1 = numbers[5];
    wl2 = numbers[6];
    return true;
}

} // namespace AdcLink
