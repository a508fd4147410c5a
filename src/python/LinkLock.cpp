#include "python/LinkLock.h"

#include <pythread.h>

#include <stdexcept>

namespace py = pybind11;

namespace LinkLock {

namespace {

unsigned long mainThread = 0;

} // namespace

void NoteMainThread() {
    mainThread =
        py::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>();
}

bool OnMainThread() {
    return PyThread_get_thread_ident() == mainThread;
}

void RefuseReentry() {
    if (LinkSession::HeldByThisThread())
        throw std::runtime_error("a Controller cannot be used from a sweep's progress callback");
}

} // namespace LinkLock
