#include "device/WavelengthCommand.h"

#include "device/AdcLink.h"

int32_t ClampWavelength(int32_t requested, int32_t rangeMin, int32_t rangeMax) {
    int32_t value = requested;
    if (value < rangeMin)
        value = rangeMin;
    if (value > rangeMax)
        value = rangeMax;
    return value;
}

WavelengthRequest PrepareWavelength(int32_t requested, int32_t rangeMin, int32_t rangeMax) {
    WavelengthRequest request;
    request.wavelength = ClampWavelength(requested, rangeMin, rangeMax);
    const std::string number = std::to_string(request.wavelength);
    request.command = "WL," + number + ";\r\n";
    request.tryingText = "... trying to set wavelength to " + number + " nm";
    return request;
}

WavelengthOutcome SetWavelength(const WavelengthRequest& request) {
    WavelengthOutcome outcome;
    if (!AdcLink::SendCommand(request.command)) {
        outcome.statusText = " ERROR: No connection to the ADC/QMB !!";
        return outcome;
    }
    if (!AdcLink::ReadReply(outcome.reply)) {
        outcome.reply.clear();
        outcome.statusText = " ERROR: No response from the the ADC/QMB !!";
        return outcome;
    }
    if (outcome.reply.find("WL,0!") == std::string::npos) {
        outcome.statusText = " ERROR: Wavelength could not be set! ";
        return outcome;
    }
    outcome.success = true;
    outcome.statusText = " Wavelength is set to  :  " + std::to_string(request.wavelength) + " nm";
    return outcome;
}
