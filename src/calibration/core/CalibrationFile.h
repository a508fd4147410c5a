#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The calibration text file: one line "%ld\t%ld\r\n" per sample, the DA
// counts of sample i (i * step) and its reading, no header, no trailer.
namespace CalibrationCore {

// The file's bytes for the readings held (never more than a sweep of
// sampleCount takes).
std::string FormatCalibrationText(const std::vector<int32_t>& readings, int32_t sampleCount);

// Creates or truncates path and writes the file byte for byte (CR LF on any
// platform). On failure returns false with a message naming the file in
// errorText, such as "Access to <path> was denied."; lines already written
// stay in the file.
bool WriteCalibrationFile(const std::string& path, const std::vector<int32_t>& readings,
                          int32_t sampleCount, std::string& errorText);

// Creates or truncates path and writes bytes as they are; on failure false
// with a message naming the file, as WriteCalibrationFile gives.
bool WriteFileBytes(const std::string& path, const std::string& bytes, std::string& errorText);

// The message for a failed file operation with the given errno value.
std::string FileErrorMessage(int errorNumber, const std::string& path);

} // namespace CalibrationCore
