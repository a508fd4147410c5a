#include "python/SweepHooks.h"

#include "python/LinkLock.h"
#include "python/LinkSession.h"

namespace py = pybind11;

SweepHooks::SweepHooks(py::object progressCallback, int32_t sweepTotal)
    : progress(std::move(progressCallback)), hasProgress(!progress.is_none()),
      watchSignals(LinkLock::OnMainThread()), total(sweepTotal),
      nextTurn(std::chrono::steady_clock::now() + LinkLock::signalCheckInterval) {}

CalibrationCore::Progress SweepHooks::Progress() {
    return [this](int32_t index, int32_t) { AfterProbe(index); };
}

void SweepHooks::AfterProbe(int32_t index) {
    // A daemon thread's sweep at exit: the thread must not wait for the GIL
    // again, since the interpreter ends it there.
    if (LinkSession::Ending()) {
        *stop = true;
        return;
    }
    if (!hasProgress && !watchSignals)
        return;
    const bool last = index + 1 == total;
    const auto now = std::chrono::steady_clock::now();
    if (now < nextTurn && !(last && hasProgress))
        return;
    nextTurn = now + LinkLock::signalCheckInterval;
    py::gil_scoped_acquire gil;
    try {
        if (hasProgress)
            progress(index + 1, total);
        if (watchSignals && PyErr_CheckSignals() != 0)
            throw py::error_already_set();
    } catch (py::error_already_set& raised) {
        error = std::move(raised);
        *stop = true;
    }
}

void SweepHooks::Rethrow() {
    if (!error)
        return;
    py::error_already_set raised = std::move(*error);
    error.reset();
    throw raised;
}
