#pragma once

#include "calibration/core/SampleGrid.h"

#include <pybind11/pybind11.h>

#include <chrono>
#include <cstdint>
#include <optional>

// What a sweep running without the GIL hands back to Python after each probe:
// progress(done, total) when given, and Ctrl+C. An exception from either
// stops the sweep before its next probe; Rethrow then raises it.
class SweepHooks {
public:
    // progress: None or a callable (checked by the caller).
    SweepHooks(pybind11::object progress, int32_t total);

    CalibrationCore::Progress Progress();
    const CalibrationCore::StopRequest* Stop() const { return &stop; }

    // With the GIL held, after the sweep: raises what stopped it, if anything.
    void Rethrow();

private:
    void AfterProbe(int32_t index);

    pybind11::object progress;
    bool hasProgress;
    int32_t total;
    CalibrationCore::StopRequest stop{false};
    std::optional<pybind11::error_already_set> error;
    std::chrono::steady_clock::time_point nextSignalCheck;
};
