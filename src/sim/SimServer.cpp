#include "sim/SimServer.h"

#include "sim/PseudoTerminal.h"
#include "sim/SimController.h"
#include "sim/SimWire.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <unistd.h>

namespace {

// A controller's input buffer is small; what a line holds beyond this is lost.
constexpr size_t maxLineLength = 256;
// Babbling without a baud rate: this many bytes every babblePauseMs.
constexpr size_t babbleChunk = 32;
constexpr int babblePauseMs = 10;
// How long a hang-up waits for the program to take its last reply.
constexpr auto hangUpGrace = std::chrono::seconds(1);

} // namespace

SimServer::SimServer(const SimOptions& options) : options(options) {}

SimServer::~SimServer() {
    Stop();
}

bool SimServer::Start(std::string& errorText) {
    Stop();
    if (::pipe(wakeFds) != 0) {
        errorText = std::string("pipe: ") + std::strerror(errno);
        wakeFds[0] = wakeFds[1] = -1;
        return false;
    }
    ::fcntl(wakeFds[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(wakeFds[1], F_SETFD, FD_CLOEXEC);
    pty = std::make_unique<PseudoTerminal>();
    if (!pty->Open(errorText)) {
        Stop();
        return false;
    }
    wire =
        std::make_unique<SimWire>(pty->MasterFd(), wakeFds[0], options.baud, pty->ClientCloseFd());
    if (!options.logPath.empty() && !wire->OpenLog(options.logPath, errorText)) {
        Stop();
        return false;
    }
    controller = std::make_unique<SimController>(options);
    slavePath = pty->SlavePath();
    serving = true;
    thread = std::thread(&SimServer::Serve, this);
    return true;
}

void SimServer::Stop() {
    if (wakeFds[1] >= 0) {
        const char wake = 1;
        while (::write(wakeFds[1], &wake, 1) < 0 && errno == EINTR) {
        }
    }
    if (thread.joinable())
        thread.join();
    serving = false;
    wire.reset();
    controller.reset();
    pty.reset();
    slavePath.clear();
    for (int& fd : wakeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SimServer::Serve() {
#ifdef __linux__
    // Timed waits may otherwise end up to 50 us late, twice an exchange: a
    // slower line than the baud rate says.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
    std::string pending; // bytes of the line being received
    bool babbling = false;
    for (;;) {
        const int timeout = babbling ? (options.baud > 0 ? 0 : babblePauseMs) : -1;
        const SimWire::Event event = wire->WaitForInput(timeout);
        if (event == SimWire::Event::Stop)
            break;
        // A client killed while it held the line exclusively would otherwise
        // lock every later one out until the simulator restarts.
        if (event == SimWire::Event::ClientClosed)
            pty->ReleaseExclusiveMode();
        if (event == SimWire::Event::Input) {
            std::string bytes;
            if (!wire->Receive(bytes)) {
                // The client side is gone for a moment (no reader holds the
                // line); do not spin, look again shortly.
                if (!wire->Pause(std::chrono::milliseconds(50)))
                    break;
                continue;
            }
            // Woken without data (a spurious wake-up): do not spin on it.
            if (bytes.empty() && !wire->Pause(std::chrono::milliseconds(5)))
                break;
            if (!HandleBytes(bytes, pending, babbling))
                return;
        }
        if (babbling && !wire->Send(controller->BabbleBytes(babbleChunk)))
            break;
    }
    serving = false;
}

bool SimServer::HandleBytes(const std::string& bytes, std::string& pending, bool& babbling) {
    for (char byte : bytes) {
        if (byte != '\r' && byte != '\n') {
            if (pending.size() < maxLineLength)
                pending += byte;
            continue;
        }
        if (pending.empty())
            continue; // the LF of a CR LF pair, or a blank line
        const std::string line = pending;
        pending.clear();
        if (babbling)
            continue; // a babbling controller no longer listens
        const SimReply reply = controller->Respond(line);
        if (!wire->Send(reply.bytes)) {
            serving = false;
            return false;
        }
        if (reply.hangUp) {
            WaitUntilRead();
            pty->HangUp();
            serving = false;
            return false;
        }
        babbling = babbling || reply.babble;
    }
    return true;
}

void SimServer::WaitUntilRead() {
    // Closing the master discards what the program has not read yet; a line
    // that drops after its reply should still deliver that reply.
    // Bytes written to the master reach the slave's queue a moment later, so
    // an empty queue only counts after that moment.
    if (!wire->Pause(std::chrono::milliseconds(50)))
        return;
    const int probe = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const auto deadline = std::chrono::steady_clock::now() + hangUpGrace;
    while (std::chrono::steady_clock::now() < deadline) {
        int pending = 0;
        if (probe >= 0 && ::ioctl(probe, FIONREAD, &pending) == 0 && pending == 0)
            break;
        // Without a probe (the program holds the line exclusively) this simply
        // waits the grace period.
        if (!wire->Pause(std::chrono::milliseconds(5)))
            break;
    }
    if (probe >= 0)
        ::close(probe);
}
