#pragma once

#include <cstdint>
#include <mutex>
#include <string>

// The one link of the process as the module sees it: which Controller owns it,
// and the lock that keeps two Python threads from interleaving exchanges.
// Take the lock without holding the GIL (a sweep's progress callback retakes
// the GIL while holding the lock).
namespace LinkSession {

std::mutex& Mutex();

// With the lock held. Open returns the new owner's number; an owner stays
// current until Close or the next Open.
uint64_t Open(const std::string& portName);
void Close();
bool IsOpen();
bool IsCurrent(uint64_t owner);
const std::string& OpenPortName();

// Set when the interpreter begins to end: a sweep still running on a daemon
// thread stops before its next probe and calls no more Python.
void SetEnding();
bool Ending();

// Whether this thread holds the lock: a progress callback that calls the
// Controller again would wait for itself.
bool HeldByThisThread();
void MarkHeld(bool held);

} // namespace LinkSession
