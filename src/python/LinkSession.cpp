#include "python/LinkSession.h"

#include <atomic>
#include <chrono>
#include <new>
#include <thread>

namespace LinkSession {

namespace {

std::string openPort;
// 0 while the link is closed; owner numbers start at 1.
std::atomic<uint64_t> current{0};
uint64_t lastOwner = 0;
std::atomic<bool> ending{false};
std::thread::id endingThread;
thread_local bool held = false;

// Guards the sweep's stop state, which stop() reaches without the link's lock.
std::mutex stopMutex;
CalibrationCore::StopRequest stopRequest{false};
bool sweeping = false;
bool stopped = false;

} // namespace

std::timed_mutex& Mutex() {
    static std::timed_mutex mutex;
    return mutex;
}

uint64_t Open(const std::string& portName) {
    openPort = portName;
    current = ++lastOwner;
    return lastOwner;
}

void Close() {
    openPort.clear();
    current = 0;
}

bool IsOpen() {
    return current != 0;
}

bool IsCurrent(uint64_t owner) {
    return current == owner;
}

const std::string& OpenPortName() {
    return openPort;
}

CalibrationCore::StopRequest* BeginSweep() {
    const std::lock_guard<std::mutex> lock(stopMutex);
    stopRequest = false;
    sweeping = true;
    stopped = false;
    return &stopRequest;
}

void EndSweep() {
    const std::lock_guard<std::mutex> lock(stopMutex);
    sweeping = false;
}

bool RequestStop(uint64_t owner) {
    const std::lock_guard<std::mutex> lock(stopMutex);
    if (!sweeping || !IsCurrent(owner))
        return false;
    stopRequest = true;
    stopped = true;
    return true;
}

bool SweepWasStopped() {
    const std::lock_guard<std::mutex> lock(stopMutex);
    return stopped;
}

void SetEnding() {
    endingThread = std::this_thread::get_id();
    ending = true;
    const std::lock_guard<std::mutex> lock(stopMutex);
    stopRequest = true;
}

bool Ending() {
    return ending;
}

void WaitOutIfEnding() {
    if (!ending || std::this_thread::get_id() == endingThread)
        return;
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

bool HeldByThisThread() {
    return held;
}

void MarkHeld(bool value) {
    held = value;
}

void AfterForkInChild() {
    // Made anew in place: the old ones may be held by a thread that is gone.
    new (&Mutex()) std::timed_mutex;
    new (&stopMutex) std::mutex;
    held = false;
    sweeping = false;
}

} // namespace LinkSession
