// The scripted controller in-process, for Windows, which has no pseudo-
// terminal: the program opens the line under a port name of its own, through
// a transport that keeps the link's contract (a one-byte read waits its
// time-out, a hung-up line fails).
#include "support/ScriptedLine.h"

#include "device/DevicePorts.h"
#include "serial/NamedPort.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace {

struct Channel {
    std::mutex mutex;
    std::condition_variable changed;
    std::string toController;
    std::string toProgram;
    bool hungUp = false;
    bool stopped = false;
    bool closed = false;
};

class ChannelTransport : public PortTransport {
public:
    explicit ChannelTransport(std::shared_ptr<Channel> channel) : channel(std::move(channel)) {}

    bool Apply(const SerialMode&, std::string&) override { return true; }
    long Write(const char* data, std::size_t size) override {
        std::lock_guard<std::mutex> lock(channel->mutex);
        if (channel->hungUp)
            return -1;
        channel->toController.append(data, size);
        channel->changed.notify_all();
        return static_cast<long>(size);
    }
    void Drain() override {}
    ReadResult ReadByte(char& byte) override {
        std::unique_lock<std::mutex> lock(channel->mutex);
        const bool ready = channel->changed.wait_until(lock, ReadDeadline(), [this] {
            return !channel->toProgram.empty() || channel->hungUp;
        });
        if (!channel->toProgram.empty()) {
            byte = channel->toProgram.front();
            channel->toProgram.erase(0, 1);
            return ReadResult::Byte;
        }
        return ready ? ReadResult::Failed : ReadResult::TimedOut;
    }
    void DiscardInput() override {
        std::lock_guard<std::mutex> lock(channel->mutex);
        channel->toProgram.clear();
    }

private:
    std::shared_ptr<Channel> channel;
};

} // namespace

struct ScriptedLine::State {
    std::shared_ptr<Channel> channel = std::make_shared<Channel>();
    std::string name;
};

ScriptedLine::ScriptedLine() : state(std::make_unique<State>()) {}

ScriptedLine::~ScriptedLine() {
    Close();
}

bool ScriptedLine::Open(std::string&) {
    static int lines = 0;
    state->name = "SCRIPTED" + std::to_string(++lines);
    std::shared_ptr<Channel> channel = state->channel;
    DevicePorts::Register({state->name, "scripted controller",
                           [channel](std::string&) -> std::unique_ptr<PortTransport> {
                               return std::make_unique<ChannelTransport>(channel);
                           }});
    return true;
}

const std::string& ScriptedLine::Name() const {
    return state->name;
}

int ScriptedLine::MasterFd() const {
    return -1;
}

bool ScriptedLine::IsOpen() const {
    std::lock_guard<std::mutex> lock(state->channel->mutex);
    return !state->channel->hungUp && !state->channel->closed;
}

bool ScriptedLine::WaitReadable(int timeoutMs) {
    Channel& channel = *state->channel;
    std::unique_lock<std::mutex> lock(channel.mutex);
    const auto ready = [&] { return !channel.toController.empty() || channel.stopped; };
    if (timeoutMs < 0)
        channel.changed.wait(lock, ready);
    else
        channel.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    return !channel.toController.empty() && !channel.stopped;
}

long ScriptedLine::Read(char* buffer, std::size_t size) {
    std::lock_guard<std::mutex> lock(state->channel->mutex);
    std::string& bytes = state->channel->toController;
    const std::size_t n = std::min(size, bytes.size());
    std::memcpy(buffer, bytes.data(), n);
    bytes.erase(0, n);
    return static_cast<long>(n);
}

long ScriptedLine::Write(const char* data, std::size_t size) {
    std::lock_guard<std::mutex> lock(state->channel->mutex);
    state->channel->toProgram.append(data, size);
    state->channel->changed.notify_all();
    return static_cast<long>(size);
}

bool ScriptedLine::Sleep(int milliseconds) {
    Channel& channel = *state->channel;
    std::unique_lock<std::mutex> lock(channel.mutex);
    return !channel.changed.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                     [&] { return channel.stopped; });
}

void ScriptedLine::HangUp() {
    std::lock_guard<std::mutex> lock(state->channel->mutex);
    state->channel->hungUp = true;
    state->channel->changed.notify_all();
}

void ScriptedLine::Stop() {
    std::lock_guard<std::mutex> lock(state->channel->mutex);
    state->channel->stopped = true;
    state->channel->changed.notify_all();
}

void ScriptedLine::Close() {
    std::lock_guard<std::mutex> lock(state->channel->mutex);
    state->channel->closed = true;
    state->channel->changed.notify_all();
}
