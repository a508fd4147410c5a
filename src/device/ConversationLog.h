#pragma once

#include <cstdio>
#include <string>

// A record of the conversation with the controller, for support and lab
// records: one line per command sent and per line received,
//
//   2025-03-14 09:26:53.123456 sent WL,450;\r\n
//   2025-03-14 09:26:53.141027 received-lf WL,0!\r\n
//
// the local time to the microsecond, what happened, and the bytes escaped as
// in every byte log (EscapeBytes). A received line ends at its LF
// (received-lf), at a read time-out (received-timeout), at a failed read
// (received-failed), or where the reader stopped reading an over-long line
// (received-limit). A write that stopped early is "sent-short" with the bytes
// that went out; one that failed before any went out is "sent-failed" with
// the bytes it was given. Bytes that still arrived when a newly opened line
// was cleared for its first handshake are "discarded". What the port notes of
// itself (its connection, a network port's own protocol) is a line of its
// own, as the port names it. The file is opened for appending and flushed at
// each line.
class ConversationLog {
public:
    enum class LineEnd { Feed, TimedOut, Failed, Limit };

    ConversationLog() = default;
    ~ConversationLog();
    ConversationLog(const ConversationLog&) = delete;
    ConversationLog& operator=(const ConversationLog&) = delete;

    // Closes any file held, then opens path; false with a one-line reason.
    bool Open(const std::string& path, std::string& errorText);
    void Close();
    bool IsOpen() const { return file != nullptr; }

    // The bytes of a write; written < bytes.size() when it stopped early, -1
    // when it failed.
    void Sent(const std::string& bytes, long written);
    // A line for what the port notes (see PortNotes).
    void Note(const char* what, const std::string& text);
    void Received(char byte);
    void EndReceived(LineEnd end);
    // Ends a received line that is still open, as one the reader stopped reading.
    void EndPending();
    // Bytes dropped unread; nothing is written when there are none.
    void Discarded(const std::string& bytes);

private:
    void WriteLine(const char* what, const std::string& bytes);

    std::FILE* file = nullptr;
    std::string pending; // received bytes of the line so far
};
