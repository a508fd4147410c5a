#pragma once

#include "calibration/core/SampleGrid.h"

#include <cstdint>
#include <map>
#include <vector>

// A controller stand-in: answers each probe with the reading of the sample
// it was asked for, records the counts asked, and fails at one chosen call.
struct FakeProbe {
    std::map<int32_t, int32_t> readingAt; // sample index -> reading; others read 0
    int32_t step = 1;
    int32_t failAtCall = -1;
    std::vector<int32_t> countsAsked;

    CalibrationCore::Probe Callback() {
        return [this](int32_t& value) {
            if (static_cast<int32_t>(countsAsked.size()) == failAtCall)
                return false;
            countsAsked.push_back(value);
            const auto it = readingAt.find(value / step);
            value = it == readingAt.end() ? 0 : it->second;
            return true;
        };
    }
};

// Readings starting at a first index.
inline void PlaceRun(std::map<int32_t, int32_t>& readings, int32_t first,
                     const std::vector<int32_t>& values) {
    for (size_t i = 0; i < values.size(); ++i)
        readings[first + static_cast<int32_t>(i)] = values[i];
}
