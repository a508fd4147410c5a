#pragma once

#include <cstddef>
#include <string>

// Reply reading written out plainly, over a stream that ends in silence (a
// time-out) or in a failed read: the line up to LF with CR dropped, one echo
// line (longer than one character, ending in ";") skipped, everything up to
// the first ";" cut, success when the last read did not fail and something is
// left. Lines are taken to be shorter than the reader's line cap.
struct ReplyModel {
    enum class End { Feed, TimedOut, Failed };

    const std::string& bytes;
    std::size_t position;
    bool endFails;
    long timeouts;

    End Line(std::string& line) {
        for (;;) {
            if (position == bytes.size()) {
                if (endFails)
                    return End::Failed;
                ++timeouts;
                return End::TimedOut;
            }
            const char byte = bytes[position++];
            if (byte == '\n')
                return End::Feed;
            if (byte != '\r')
                line.push_back(byte);
        }
    }

    bool Reply(std::string& reply) {
        reply.clear();
        End end = Line(reply);
        if (reply.size() > 1 && reply.back() == ';') {
            reply.clear();
            end = Line(reply);
        }
        const auto semicolon = reply.find(';');
        if (semicolon != std::string::npos)
            reply.erase(0, semicolon + 1);
        return end != End::Failed && !reply.empty();
    }
};
