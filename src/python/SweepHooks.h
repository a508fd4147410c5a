#pragma once

#include "calibration/core/SampleGrid.h"

#include <pybind11/pybind11.h>

#include <chrono>
#include <cstdint>
#include <optional>

// What a sweep running without the GIL hands back to Python: progress(done,
// total) when given, and Ctrl+C on the main thread. The GIL is taken only for
// these, at most once a signal-check interval (and for the last progress
// call), so a busy Python thread costs the sweep little. An exception from
// either stops the sweep before its next probe; Rethrow then raises it.
class SweepHooks {
public:
    // progress: None or a callable (checked by the caller). With the GIL held.
    SweepHooks(pybind11::object progress, int32_t total);

    // As the sweep begins, under the link's lock: the request it checks
    // before each probe, which an exception here sets too.
    void Attach(CalibrationCore::StopRequest* sweepStop) { stop = sweepStop; }
    CalibrationCore::Progress Progress();
    const CalibrationCore::StopRequest* Stop() const { return stop; }
    bool Raised() const { return error.has_value(); }

    // With the GIL held, after the sweep: raises what stopped it, if anything.
    void Rethrow();

private:
    void AfterProbe(int32_t index);

    pybind11::object progress;
    bool hasProgress;
    bool watchSignals;
    int32_t total;
    CalibrationCore::StopRequest* stop = nullptr;
    std::optional<pybind11::error_already_set> error;
    std::chrono::steady_clock::time_point nextTurn;
};
