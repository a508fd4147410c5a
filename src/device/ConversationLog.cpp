#include "device/ConversationLog.h"

#include "serial/ByteEscape.h"
#include "serial/SystemError.h"

#include <cerrno>
#include <chrono>
#include <ctime>

namespace {

std::string LocalTimeToTheMicrosecond() {
    const auto now = std::chrono::system_clock::now();
    const auto since = now.time_since_epoch();
    const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since).count();
    const long micro = static_cast<long>(
        std::chrono::duration_cast<std::chrono::microseconds>(since).count() % 1000000);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%06ld", micro);
    return text;
}

} // namespace

ConversationLog::~ConversationLog() {
    Close();
}

bool ConversationLog::Open(const std::string& path, std::string& errorText) {
    Close();
    file = std::fopen(path.c_str(), "ab");
    if (!file) {
        errorText =
            OneLineReason("Cannot open the log file " + path + ": " + SystemErrorText(errno));
        return false;
    }
    return true;
}

void ConversationLog::Close() {
    if (!file)
        return;
    EndPending();
    std::fclose(file);
    file = nullptr;
}

void ConversationLog::WriteLine(const char* what, const std::string& bytes) {
    std::string line = LocalTimeToTheMicrosecond() + ' ' + what;
    if (!bytes.empty())
        line += ' ' + EscapeBytes(bytes);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file);
    std::fflush(file);
}

void ConversationLog::Sent(const std::string& bytes, long written) {
    if (!file)
        return;
    if (written < 0)
        WriteLine("sent-failed", bytes);
    else if (static_cast<std::size_t>(written) >= bytes.size())
        WriteLine("sent", bytes);
    else
        WriteLine("sent-short", bytes.substr(0, static_cast<std::size_t>(written)));
}

void ConversationLog::Note(const char* what, const std::string& text) {
    if (file)
        WriteLine(what, text);
}

void ConversationLog::Received(char byte) {
    if (!file)
        return;
    pending.push_back(byte);
    if (byte == '\n')
        EndReceived(LineEnd::Feed);
}

void ConversationLog::EndReceived(LineEnd end) {
    if (!file)
        return;
    static const char* const names[] = {"received-lf", "received-timeout", "received-failed",
                                        "received-limit"};
    WriteLine(names[static_cast<int>(end)], pending);
    pending.clear();
}

void ConversationLog::EndPending() {
    if (!pending.empty())
        EndReceived(LineEnd::Limit);
}

void ConversationLog::Discarded(const std::string& bytes) {
    if (file && !bytes.empty())
        WriteLine("discarded", bytes);
}
