#pragma once

#include <string>

// Bytes as one line of readable text, the form of every byte log (adc-sim's
// and the console's): printable ASCII as it is, CR as \r, LF as \n, backslash
// as \\, any other byte as \xNN (upper-case hex).
std::string EscapeBytes(const std::string& bytes);
