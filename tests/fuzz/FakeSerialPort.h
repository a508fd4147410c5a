#pragma once

#include <cstddef>
#include <string>

// The line behind the fake port transport (FakeSerialPort.cpp) that a fuzz
// target links in place of the real ones: reads take bytes from here, and at
// its end a read times out at once (or fails, with endFails), so a reply can
// be fuzzed at full speed; writes always succeed and are kept.
namespace FakeLine {

extern std::string bytes;
extern std::size_t position; // bytes read so far
extern bool endFails;
extern long timeouts;       // reads that found no byte
extern std::string written; // every byte the program wrote

} // namespace FakeLine
