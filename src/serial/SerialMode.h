#pragma once

#include <string>

// Line settings named by a mode string such as "baud=19200 parity=N data=8 stop=1".
// A key the string does not name stays zero, as in a cleared control block: no
// parity and one stop bit are then meant, while a zero baud rate or data width
// is refused when the settings are applied to a port.
struct SerialMode {
    int baud = 0;     // bits per second
    char parity = 0;  // 0 or 'n' none, 'e' even, 'o' odd
    int dataBits = 0; // 5 to 8
    int stopBits = 0; // 0 or 1 one, 2 two
};

// Parses the keys baud, parity, data and stop (keys and the parity letter in
// either case), separated by blanks. Fails on an empty string, an unknown key,
// a token without "=", and an empty or unrecognised value.
bool ParseModeString(const std::string& text, SerialMode& mode);

// Whether a mode names what every port needs to apply it: a baud rate and a
// data width of 5 to 8 bits. Every kind of port refuses it otherwise, as an
// invalid argument.
bool NamesSpeedAndDataBits(const SerialMode& mode);

// How long a line must stay silent before what it held counts as all there
// was: three character times (start, data, parity and stop bits) on a slow
// line, and never less than 20 ms. A mode without a baud rate gets the 20 ms.
int LineQuietMs(const SerialMode& mode);
