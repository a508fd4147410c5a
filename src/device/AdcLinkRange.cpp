// Connection handshake and the process-wide wavelength range.
#include "device/AdcLink.h"
#include "device/AdcLinkDetail.h"

#include <chrono>
#include <thread>

namespace AdcLink {

namespace {

// WavelengthRange, nm; refreshed by every handshake, never reset.
int32_t minWavelength = 240;
int32_t maxWavelength = 699;

// Text position rules of the range reply: a missing text is at -1, a negative
// start counts as 0, a negative length as 0, and a part stops at the end.
long Find(const std::string& text, char c) {
    const auto at = text.find(c);
    return at == std::string::npos ? -1 : static_cast<long>(at);
}

std::string Mid(const std::string& text, long start, long length) {
    if (start < 0)
        start = 0;
    if (length < 0)
        length = 0;
    if (static_cast<std::size_t>(start) >= text.size())
        return {};
    return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
}

// Takes the single number of a text into target; leaves target alone otherwise.
// A text without a digit scans as the lone end marker -1, which is no number:
// taken, it would make a wavelength of -1 nm that every Set then sends.
void TakeSingleNumber(const std::string& text, int32_t& target) {
    int32_t numbers[10];
    if (text.find_first_of("0123456789") != std::string::npos && ScanNumbers(numbers, text) == 1)
        target = numbers[0];
}

void ReadRangeFromReply(const std::string& reply) {
    const long open = Find(reply, '(');
    const std::string inside = Mid(reply, open + 1, Find(reply, ')') - open);
    const long comma = Find(inside, ',');
    TakeSingleNumber(Mid(inside, 0, comma), minWavelength);
    TakeSingleNumber(Mid(inside, comma + 1, Find(inside, ')') - comma - 1), maxWavelength);
}

// Controllers without the range query report the ends when asked for the
// wavelengths beyond them.
void ProbeRangeEnds() {
    std::string reply;
    if (SendCommand("WL,1000;\r\n") && ReadReply(reply))
        TakeSingleNumber(reply, maxWavelength);
    if (SendCommand("WL,0;\r\n") && ReadReply(reply))
        TakeSingleNumber(reply, minWavelength);
}

} // namespace

namespace Detail {

void SetMinWavelength(int32_t value) {
    minWavelength = value;
}
void SetMaxWavelength(int32_t value) {
    maxWavelength = value;
}

} // namespace Detail

bool QueryWavelengthRange() {
    std::string reply;
    if (SendCommand("RC,1;\r\n") && ReadReply(reply)) {
        if (reply.find("RC,1!") != std::string::npos)
            ProbeRangeEnds();
        else
            ReadRangeFromReply(reply);
    }
    ReactivateProtocol();
    return true;
}

int32_t MinWavelength() {
    return minWavelength;
}
int32_t MaxWavelength() {
    return maxWavelength;
}

void ReactivateProtocol() {
    if (!SendCommand("RS;\r\n"))
        return;
    std::string ignored;
    ReadReply(ignored);
    // Gives the controller time to restart its protocol before the next command.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

} // namespace AdcLink
