// Fuzz target: ParseModeString on arbitrary text.
//
// - A refused string leaves the caller's settings as they were.
// - Accepted settings lie in their ranges, and at least one key is named.
// - Keys and the parity letter match in either case: the upper-cased text
//   gives the same outcome.
// - The accepted settings written back as a mode string parse to themselves.
#include "serial/SerialMode.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "ParseModeString fuzz: %s\n", what);
    std::abort();
}

bool Same(const SerialMode& a, const SerialMode& b) {
    return a.baud == b.baud && a.parity == b.parity && a.dataBits == b.dataBits &&
           a.stopBits == b.stopBits;
}

std::string Written(const SerialMode& mode) {
    std::string text;
    if (mode.baud)
        text += "baud=" + std::to_string(mode.baud) + " ";
    if (mode.parity)
        text += std::string("parity=") + mode.parity + " ";
    if (mode.dataBits)
        text += "data=" + std::to_string(mode.dataBits) + " ";
    if (mode.stopBits)
        text += "stop=" + std::to_string(mode.stopBits);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const SerialMode untouched{-7, 'x', -7, -7};

    SerialMode mode = untouched;
    const bool accepted = ParseModeString(text, mode);

    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    SerialMode upperMode = untouched;
    if (ParseModeString(upper, upperMode) != accepted || !Same(mode, upperMode))
        Fail("upper case reads differently");

    if (!accepted) {
        if (!Same(mode, untouched))
            Fail("a refused string changed the settings");
        return 0;
    }
    if (mode.baud < 0 ||
        (mode.parity != 0 && mode.parity != 'n' && mode.parity != 'e' && mode.parity != 'o'))
        Fail("baud rate or parity out of range");
    if (mode.dataBits != 0 && (mode.dataBits < 5 || mode.dataBits > 8))
        Fail("data bits out of range");
    if (mode.stopBits < 0 || mode.stopBits > 2)
        Fail("stop bits out of range");
    if (!mode.baud && !mode.parity && !mode.dataBits && !mode.stopBits)
        Fail("accepted a string that names nothing");

    SerialMode again = untouched;
    if (!ParseModeString(Written(mode), again) || !Same(mode, again))
        Fail("the settings written back read differently");
    return 0;
}
