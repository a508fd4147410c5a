#pragma once

// What an operation says when the controller lets it down, the same in the
// window, vornadc-cli and the Python module.
namespace FailureTexts {

// A command that got no reply line.
inline constexpr const char* noReply = "No reply";
// RC; answered with no four numbers.
inline constexpr const char* noCalibration = "No calibration read from the ADC";
// A probe of analogue channel 1 that got no reading.
inline constexpr const char* noProbeReading = "No reading of analogue channel 1";
// A sweep that stopped at a probe that failed.
inline constexpr const char* sweepFailed = "Error in calibration";

} // namespace FailureTexts
