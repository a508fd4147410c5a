#pragma once

#include "serial/PortTransport.h"
#include "sim/SimController.h"
#include "sim/SimLines.h"

#include <chrono>
#include <deque>
#include <memory>
#include <string>

// The simulated controller as a port of this process, with no line between:
// the program's writes go to the model, its replies come back through the
// one-byte reads. Where there is no pseudo-terminal (Windows) this is SIM.
// Paced like a serial line when the options name a baud rate (a command takes
// 10 bit times a byte to go out, a reply as long to come in); the faults act
// as on the pseudo-terminal: a dropped reply is silence, a hang-up makes every
// read after the reply fail, garbage and babble come as bytes. The model may
// outlive the transport, so that a port opened again finds the controller as
// it was left, as on the pseudo-terminal.
class SimTransport : public PortTransport {
public:
    explicit SimTransport(const SimOptions& options = SimOptions());
    SimTransport(std::shared_ptr<SimController> controller, int32_t baud);

    // Nothing to set on a line that is not there.
    bool Apply(const SerialMode&, std::string&) override { return true; }
    long Write(const char* data, std::size_t size) override;
    // Waits until the written bytes would have gone out.
    void Drain() override;
    ReadResult ReadByte(char& byte) override;
    void DiscardInput() override;

private:
    using Clock = std::chrono::steady_clock;
    struct Chunk {
        std::string bytes;
        Clock::time_point start; // when its first byte starts to come in
        std::size_t next = 0;
        bool hangUp = false; // the line hangs up once it has been read
    };
    // Queues bytes to come in after everything before them.
    void Queue(std::string bytes, bool hangUp);

    std::shared_ptr<SimController> controller;
    SimLines lines;
    Clock::duration byteTime{0}; // zero: no pacing
    Clock::time_point inClock;   // when the last written byte has gone out
    Clock::time_point outClock;  // when the last queued reply byte has come in
    std::deque<Chunk> queued;
    bool babbling = false;
    bool hungUp = false;
};
