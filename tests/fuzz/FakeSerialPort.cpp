// The port transport over FakeLine, for fuzz targets. Linked ahead of the
// platform library, its OpenPortTransport replaces the real one, so the real
// SerialPort runs over this line and no real transport is pulled in.
#include "fuzz/FakeSerialPort.h"

#include "serial/PortTransport.h"

namespace FakeLine {

std::string bytes;
std::size_t position = 0;
bool endFails = false;
long timeouts = 0;
std::string written;

} // namespace FakeLine

namespace {

class FakeLineTransport : public PortTransport {
public:
    bool Apply(const SerialMode&, std::string&) override { return true; }
    long Write(const char* data, std::size_t size) override {
        FakeLine::written.append(data, size);
        return static_cast<long>(size);
    }
    void Drain() override {}
    ReadResult ReadByte(char& byte) override {
        if (FakeLine::position < FakeLine::bytes.size()) {
            byte = FakeLine::bytes[FakeLine::position++];
            return ReadResult::Byte;
        }
        if (FakeLine::endFails)
            return ReadResult::Failed;
        ++FakeLine::timeouts;
        return ReadResult::TimedOut;
    }
};

} // namespace

std::unique_ptr<PortTransport> OpenPortTransport(const std::string&, std::string&,
                                                 const PortNotes&) {
    return std::make_unique<FakeLineTransport>();
}
