// Serial port link: opening, writing commands, reading reply lines.
#include "device/AdcLink.h"

#include "device/ConversationLog.h"
#include "device/DevicePorts.h"
#include "serial/SerialMode.h"
#include "serial/SerialPort.h"
#include "serial/SystemError.h"

#include <memory>

namespace AdcLink {

namespace {

// The log outlives the port, whose end it records at exit too.
ConversationLog conversationLog;
std::unique_ptr<SerialPort> openPort;
// Set when a port is opened, cleared once what the line held has been
// discarded before the first handshake on it.
bool discardPending = false;
int64_t readTimeouts = 0;
ReplyTally replyTally;
int openErrorNumber = 0;

const char* const defaultMode = "baud=19200 parity=N data=8 stop=1";

// Read time-outs: 1 ms per byte requested plus 500 ms, so one byte waits 501 ms.
// Writes get 1 ms per byte plus 100 ms.
constexpr int readPerByteMs = 1;
constexpr int readConstantMs = 500;
constexpr int writePerByteMs = 1;
constexpr int writeConstantMs = 100;

// A device that sends bytes without ever sending LF must not keep the reader
// busy and growing forever: a line that reaches this many bytes (CR included)
// is refused.
constexpr std::size_t lineLimit = 4096;

// A line that never falls quiet (another instrument on it, a babbling
// controller) holds a connect's discard up this long at most.
constexpr int discardLimitMs = 500;

SerialPort::ReadResult ReadByte(SerialPort& port, char& byte) {
    const auto result = port.ReadByte(byte);
    if (result == SerialPort::ReadResult::Byte) {
        conversationLog.Received(byte);
    } else if (result == SerialPort::ReadResult::TimedOut) {
        ++readTimeouts;
        conversationLog.EndReceived(ConversationLog::LineEnd::TimedOut);
    } else {
        conversationLog.EndReceived(ConversationLog::LineEnd::Failed);
    }
    return result;
}

enum class LineEnd { Feed, TimedOut, Failed, TooLong };

// Reads one line, one byte per read call; CR is dropped, LF ends the line.
LineEnd ReadLine(SerialPort& port, std::string& line) {
    std::size_t received = 0;
    for (;;) {
        char byte = 0;
        const auto result = ReadByte(port, byte);
        if (result == SerialPort::ReadResult::Failed)
            return LineEnd::Failed;
        if (result == SerialPort::ReadResult::TimedOut)
            return LineEnd::TimedOut;
        if (byte == '\n')
            return LineEnd::Feed;
        if (byte != '\r')
            line.push_back(byte);
        if (++received >= lineLimit)
            return LineEnd::TooLong;
    }
}

// Drops the rest of an over-long line, up to and including its LF, so that the
// next exchange starts at a line boundary. Gives up after another lineLimit bytes.
// lastByte: in, the line's last byte so far other than CR; out, the same at its end.
// True when the line's LF was reached.
bool DiscardRestOfLine(SerialPort& port, char& lastByte) {
    for (std::size_t i = 0; i < lineLimit; ++i) {
        char byte = 0;
        if (ReadByte(port, byte) != SerialPort::ReadResult::Byte)
            return false;
        if (byte == '\n')
            return true;
        if (byte != '\r')
            lastByte = byte;
    }
    return false;
}

} // namespace

bool OpenPort(const std::string& portName, std::string& modeString, std::string& errorText) {
    openErrorNumber = 0;
    if (modeString.empty())
        modeString = defaultMode;
    SerialMode mode;
    if (!ParseModeString(modeString, mode)) {
        errorText = "invalid parameter";
        return false;
    }
    if (!openPort) {
        std::string systemText;
        auto transport =
            DevicePorts::Open(portName, systemText, [](const char* what, const std::string& text) {
                conversationLog.Note(what, text);
            });
        if (!transport) {
            errorText = "Port Initialisation Error:\n" + systemText;
            openErrorNumber = ErrorNumberOf(systemText);
            return false;
        }
        openPort = std::make_unique<SerialPort>();
        openPort->Open(std::move(transport));
        discardPending = true;
    }
    std::string systemText;
    if (!openPort->Apply(mode, systemText)) {
        errorText = "Unable to apply parameters:\n" + systemText;
        openErrorNumber = ErrorNumberOf(systemText);
        return false;
    }
    if (!openPort->SetTimeouts(readPerByteMs, readConstantMs, writePerByteMs, writeConstantMs)) {
        errorText = "Unable to change timeouts";
        return false;
    }
    // A newly opened line may hold what an earlier holder left: the reply to
    // the last command of a run that was killed, still arriving perhaps. Taken
    // as the answer to the handshake, it would put every later exchange one
    // reply behind. A port already held keeps its pending replies: they are
    // this process's own.
    if (discardPending) {
        discardPending = false;
        conversationLog.Discarded(openPort->DiscardInput(LineQuietMs(mode), discardLimitMs));
    }
    QueryWavelengthRange();
    return true;
}

bool StartLog(const std::string& path, std::string& errorText) {
    if (path.empty()) {
        conversationLog.Close();
        return true;
    }
    return conversationLog.Open(path, errorText);
}

int OpenErrorNumber() {
    return openErrorNumber;
}

ReplyTally CountReplies() {
    return replyTally;
}

int64_t ReadTimeoutCount() {
    return readTimeouts;
}

bool IsPortOpen() {
    return openPort != nullptr;
}

bool ClosePort() {
    openPort.reset();
    return true;
}

bool SendCommand(std::string command) {
    if (!openPort || command.empty())
        return false;
    const long written = openPort->Write(command.data(), command.size());
    conversationLog.Sent(command, written);
    openPort->Drain();
    return written >= 0 && static_cast<std::size_t>(written) == command.size();
}

bool ReadReply(std::string& reply) {
    if (!openPort)
        return false;
    reply.clear();
    LineEnd end = ReadLine(*openPort, reply);
    // A line of more than one character ending in ";" is the controller's echo
    // of the command; the reply proper is the next line. Only one is dropped.
    bool echo = end != LineEnd::TooLong && reply.size() > 1 && reply.back() == ';';
    if (end == LineEnd::TooLong) {
        // An over-long echo is still the echo: taken for anything else, it
        // would leave the reply to be read as the next command's.
        char lastByte = reply.empty() ? '\0' : reply.back();
        echo = DiscardRestOfLine(*openPort, lastByte) && lastByte == ';';
        if (!echo) {
            conversationLog.EndPending();
            reply.clear();
            return false;
        }
    }
    if (echo) {
        reply.clear();
        end = ReadLine(*openPort, reply);
    }
    if (end == LineEnd::TooLong) {
        char lastByte = '\0';
        DiscardRestOfLine(*openPort, lastByte);
        conversationLog.EndPending();
        reply.clear();
        return false;
    }
    // Silence: the time-out ended a line (after any echo) with nothing in it.
    const bool silent = end == LineEnd::TimedOut && reply.empty();
    const auto semicolon = reply.find(';');
    if (semicolon != std::string::npos)
        reply.erase(0, semicolon + 1);
    const bool delivered = end != LineEnd::Failed && !reply.empty();
    if (delivered)
        ++replyTally.delivered;
    else if (silent)
        ++replyTally.timedOut;
    return delivered;
}

} // namespace AdcLink
