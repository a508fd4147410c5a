#include "sim/SimListener.h"

#include "serial/ByteEscape.h"
#include "sim/SimController.h"
#include "sim/SimLines.h"
#include "sim/SimSocket.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Babbling: this many bytes at a time, and the pause between them without a
// baud rate.
constexpr std::size_t babbleChunk = 32;
constexpr int babblePauseMs = 10;

// The line's pace at one end of the connection: bytes come in and go out at
// 10 bit times each when a baud rate is set.
class Pace {
public:
    explicit Pace(int32_t baud) {
        if (baud > 0)
            byteTime = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(10)) / baud;
    }
    bool Paced() const { return byteTime != Clock::duration::zero(); }
    // Bytes received now: waits until they would have come in over the line.
    void Received(std::size_t count) {
        inClock = std::max(inClock, Clock::now()) + byteTime * static_cast<long>(count);
        while (Clock::now() < inClock) // some systems' sleeps end a little early
            std::this_thread::sleep_until(inClock);
    }
    // Sends bytes through send (false: broken) as the line would let them out:
    // a reply starts when its command has come in.
    template <typename Put> bool Send(const std::string& bytes, Put send) {
        if (!Paced())
            return send(bytes.data(), bytes.size());
        outClock = std::max({outClock, inClock, Clock::now() - byteTime});
        for (std::size_t sent = 0; sent < bytes.size();) {
            const auto due = std::min<std::size_t>(
                bytes.size() - sent,
                static_cast<std::size_t>((Clock::now() - outClock) / byteTime));
            if (due == 0) {
                std::this_thread::sleep_until(outClock + byteTime);
                continue;
            }
            if (!send(bytes.data() + sent, due))
                return false;
            sent += due;
            outClock += byteTime * static_cast<long>(due);
        }
        return true;
    }

private:
    Clock::duration byteTime{0};
    Clock::time_point inClock;
    Clock::time_point outClock;
};

} // namespace

SimListener::SimListener(const SimOptions& options) : options(options) {}

SimListener::~SimListener() {
    Stop();
}

bool SimListener::Start(std::string& errorText) {
    Stop();
    stopping = false;
    socket = std::make_unique<SimSocket>(stopping);
    if (!socket->Listen(options.listenHost, options.listenPort, errorText)) {
        socket.reset();
        return false;
    }
    if (!options.logPath.empty() &&
        !std::ofstream(options.logPath, std::ios::out | std::ios::trunc | std::ios::binary)) {
        errorText = "cannot write the log file " + options.logPath;
        socket.reset();
        return false;
    }
    controller = std::make_unique<SimController>(options);
    thread = std::thread(&SimListener::Serve, this);
    return true;
}

void SimListener::Stop() {
    stopping = true;
    if (thread.joinable())
        thread.join();
    socket.reset();
    controller.reset();
}

std::string SimListener::PortName() const {
    const bool bracketed = options.listenHost.find(':') != std::string::npos;
    return "socket://" + (bracketed ? "[" + options.listenHost + "]" : options.listenHost) + ":" +
           std::to_string(socket ? socket->Port() : 0);
}

void SimListener::Serve() {
    while (socket->Accept())
        ServeConnection();
}

void SimListener::ServeConnection() {
    std::ofstream log;
    if (!options.logPath.empty())
        log.open(options.logPath, std::ios::out | std::ios::app | std::ios::binary);
    const auto record = [&log](const char* direction, const char* bytes, std::size_t size) {
        if (log.is_open())
            log << direction << ' ' << EscapeBytes(std::string(bytes, size)) << '\n' << std::flush;
    };
    const auto send = [&](const char* bytes, std::size_t size) {
        record("TX", bytes, size);
        return socket->Send(bytes, size);
    };
    Pace pace(options.baud);
    SimLines lines;
    bool babbling = false;
    for (;;) {
        char buffer[512];
        const long n = socket->Receive(buffer, sizeof buffer,
                                       babbling ? (options.baud > 0 ? 0 : babblePauseMs) : -1);
        if (n < 0)
            return; // closed by the client, or serving stopped
        if (n > 0) {
            record("RX", buffer, static_cast<std::size_t>(n));
            pace.Received(static_cast<std::size_t>(n));
        }
        for (const std::string& line : lines.Take(buffer, static_cast<std::size_t>(n))) {
            if (babbling)
                continue; // a babbling controller no longer listens
            const SimReply reply = controller->Respond(line);
            if (!pace.Send(reply.bytes, send) || reply.hangUp)
                return;
            babbling = reply.babble;
        }
        if (babbling && !pace.Send(controller->BabbleBytes(babbleChunk), send))
            return;
    }
}
