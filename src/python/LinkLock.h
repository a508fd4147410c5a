#pragma once

#include "python/LinkSession.h"
#include "python/WithoutGil.h"

#include <pybind11/pybind11.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

// Every exchange of the module runs through Run: without the GIL, under the
// link's one lock.
namespace LinkLock {

// How long the main thread goes without looking for Ctrl+C while it waits
// for the lock or sweeps; other threads never look, as no signal reaches them.
constexpr std::chrono::milliseconds signalCheckInterval{50};

// Notes which thread is Python's main thread. With the GIL held, at import.
void NoteMainThread();
// With the GIL held.
bool OnMainThread();

// RuntimeError when this thread holds the lock already: a progress callback
// that called back into a Controller would wait for itself.
void RefuseReentry();

// The lock, marked as this thread's while held.
class Held {
public:
    explicit Held(std::unique_lock<std::timed_mutex> taken) : lock(std::move(taken)) {
        LinkSession::MarkHeld(true);
    }
    ~Held() { LinkSession::MarkHeld(false); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    std::unique_lock<std::timed_mutex> lock;
};

// Runs exchange with the GIL released and the lock held, and gives back its
// result or exception with the lock released and the GIL taken again. The
// main thread waits for the lock in turns of signalCheckInterval and takes
// the GIL between them, so that Ctrl+C ends the wait (KeyboardInterrupt)
// however long another thread's sweep holds the lock.
template <typename Exchange> auto Run(Exchange exchange) -> decltype(exchange()) {
    using Result = decltype(exchange());
    if constexpr (std::is_void_v<Result>) {
        Run([&] {
            exchange();
            return true;
        });
    } else {
        RefuseReentry();
        const bool watchSignals = OnMainThread();
        for (;;) {
            std::optional<Result> result = WithoutGil([&]() -> std::optional<Result> {
                std::unique_lock<std::timed_mutex> lock(LinkSession::Mutex(), std::defer_lock);
                if (!watchSignals)
                    lock.lock();
                else if (!lock.try_lock_for(signalCheckInterval))
                    return std::nullopt;
                try {
                    std::optional<Result> done;
                    {
                        const Held held(std::move(lock));
                        done.emplace(exchange());
                    }
                    LinkSession::WaitOutIfEnding();
                    return done;
                } catch (...) {
                    LinkSession::WaitOutIfEnding();
                    throw;
                }
            });
            if (result)
                return std::move(*result);
            if (PyErr_CheckSignals() != 0)
                throw pybind11::error_already_set();
        }
    }
}

} // namespace LinkLock
