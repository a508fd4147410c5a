// Calibration commands: RC, WC, and the WA/RA probe of analogue channel 1.
#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"

namespace AdcLink {

bool ReadCalibration(int32_t& lowWavelength, int32_t& lowCounts, int32_t& highWavelength,
                     int32_t& highCounts) {
    std::string reply;
    if (!SendCommand("RC;\r\n") || !ReadReply(reply))
        return false;
    int32_t numbers[10];
    if (ScanNumbers(numbers, reply) != 4)
        return false;
    lowWavelength = numbers[0];
    lowCounts = numbers[1];
    highWavelength = numbers[2];
    highCounts = numbers[3];
    return true;
}

bool WriteCalibration(int32_t lowWavelength, int32_t lowCounts, int32_t highWavelength,
                      int32_t highCounts, std::string& errorText) {
    std::string reply;
    if (!Detail::Exchange(
            Detail::FormatCommand("WC", {lowWavelength, lowCounts, highWavelength, highCounts}),
            reply, errorText, "No answer"))
        return false;
    if (reply.find("WC,0!") == std::string::npos && reply.find("RC,") == std::string::npos) {
        errorText = "ADC doesn't accept parameters!";
        return false;
    }
    // A new calibration moves the ends of the range: ask for them again.
    QueryWavelengthRange();
    return true;
}

bool ProbeAnalogChannel(int32_t& value) {
    std::string reply;
    if (!SendCommand(Detail::FormatCommand("WA", {1, value})) || !ReadReply(reply))
        return false;
    if (!SendCommand("RA,1;\r\n") || !ReadReply(reply))
        return false;
    int32_t numbers[10];
    if (ScanNumbers(numbers, reply) < 2)
        return false;
    value = numbers[1];
    return true;
}

} // namespace AdcLink
