#include "python/LinkSession.h"

#include <atomic>

namespace LinkSession {

namespace {

std::string openPort;
// 0 while the link is closed; owner numbers start at 1.
std::atomic<uint64_t> current{0};
uint64_t lastOwner = 0;
std::atomic<bool> ending{false};
thread_local bool held = false;

} // namespace

std::mutex& Mutex() {
    static std::mutex mutex;
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

void SetEnding() {
    ending = true;
}

bool Ending() {
    return ending;
}

bool HeldByThisThread() {
    return held;
}

void MarkHeld(bool value) {
    held = value;
}

} // namespace LinkSession
