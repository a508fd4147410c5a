#include "calibration/core/CalibrationFile.h"

#include "calibration/core/SampleGrid.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace CalibrationCore {

namespace {

std::string Replace(std::string text, const std::string& path) {
    const size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
}

} // namespace

std::string FormatCalibrationText(const std::vector<int32_t>& readings, int32_t sampleCount) {
    const int32_t step = SampleStep(sampleCount);
    // a failed or missing sweep holds fewer readings than configured: write
    // those and never read past them
    const size_t lines =
        std::min(readings.size(), static_cast<size_t>(SweepSampleCount(sampleCount)));
    std::string text;
    char line[64];
    for (size_t i = 0; i < lines; ++i) {
        const int written =
            std::snprintf(line, sizeof line, "%ld\t%ld\r\n", static_cast<long>(i) * step,
                          static_cast<long>(readings[i]));
        text.append(line, static_cast<size_t>(written));
    }
    return text;
}

bool WriteCalibrationFile(const std::string& path, const std::vector<int32_t>& readings,
                          int32_t sampleCount, std::string& errorText) {
    return WriteFileBytes(path, FormatCalibrationText(readings, sampleCount), errorText);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes, std::string& errorText) {
    // binary mode: no newline translation, every line ends as it was given
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        errorText = FileErrorMessage(errno, path);
        return false;
    }
    errno = 0;
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    int failure = written == bytes.size() ? 0 : (errno != 0 ? errno : EIO);
    // a full disk often shows only when the buffer is flushed at close
    if (std::fclose(file) != 0 && failure == 0)
        failure = errno != 0 ? errno : EIO;
    if (failure != 0) {
        errorText = FileErrorMessage(failure, path);
        return false;
    }
    return true;
}

std::string FileErrorMessage(int errorNumber, const std::string& path) {
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return Replace("%1 was not found.", path);
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return Replace("Access to %1 was denied.", path);
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return Replace("Disk full while accessing %1.", path);
    case EMFILE:
    case ENFILE:
        return Replace("There were too many open files while accessing %1.", path);
    case ENAMETOOLONG:
        return Replace("%1 contains an invalid path.", path);
    default:
        return Replace("An unexpected error occurred while accessing %1.", path);
    }
}

} // namespace CalibrationCore
