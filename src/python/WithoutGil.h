#pragma once

#include <Python.h>

#include <cxxabi.h>
#include <type_traits>

// Runs call with the GIL released and takes it back afterwards. Unlike a
// scoped release, nothing takes the GIL back in a destructor: at exit Python
// ends a daemon thread by unwinding it from its wait for the GIL, and a
// destructor that waited for the GIL again on the way would abort the process.
template <typename Call> auto WithoutGil(Call call) -> decltype(call()) {
    PyThreadState* state = PyEval_SaveThread();
    try {
        if constexpr (std::is_void_v<decltype(call())>) {
            call();
            PyEval_RestoreThread(state);
        } else {
            auto result = call();
            PyEval_RestoreThread(state);
            return result;
        }
    } catch (abi::__forced_unwind&) {
        throw; // the thread is being ended: there is no GIL to take back
    } catch (...) {
        PyEval_RestoreThread(state);
        throw;
    }
}
