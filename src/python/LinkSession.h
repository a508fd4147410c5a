#pragma once

#include "calibration/core/SampleGrid.h"

#include <cstdint>
#include <mutex>
#include <string>

// The one link of the process as the module sees it: which Controller owns it,
// and the lock that keeps two Python threads from interleaving exchanges.
// Take the lock without holding the GIL (a sweep's progress callback retakes
// the GIL while holding the lock); LinkLock.h does.
namespace LinkSession {

std::timed_mutex& Mutex();

// With the lock held. Open returns the new owner's number; an owner stays
// current until Close or the next Open.
uint64_t Open(const std::string& portName);
void Close();
bool IsOpen();
bool IsCurrent(uint64_t owner);
const std::string& OpenPortName();

// The stop request of the sweep that runs, which it checks before each probe:
// set by Controller.stop() from any thread, and by the sweep's own hooks.
// Begin and End with the lock held; RequestStop does not wait for the lock,
// and stops only a sweep of owner's. True when it stopped one.
CalibrationCore::StopRequest* BeginSweep();
void EndSweep();
bool RequestStop(uint64_t owner);
// Whether the latest sweep was stopped by RequestStop.
bool SweepWasStopped();

// Set, on its own thread, when the interpreter begins to end: a sweep still
// running on a daemon thread stops before its next probe, and every thread
// but that one then waits for the process to end instead of going back into
// Python (where it would only meet a closed link and print its traceback).
void SetEnding();
bool Ending();
// With the lock released: returns at once unless the interpreter is ending
// and this is another thread.
void WaitOutIfEnding();

// Whether this thread holds the lock: a progress callback that calls the
// Controller again would wait for itself.
bool HeldByThisThread();
void MarkHeld(bool held);

// os.register_at_fork, in a child: the locks anew, free, since the threads
// that held them in the parent (a sweep's, say) are not in the child. The
// link is the parent's as it stood; only one of the two should use it.
void AfterForkInChild();

} // namespace LinkSession
