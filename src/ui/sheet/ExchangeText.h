#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Text forms of the values that data exchange moves between fields and controls.
// Locale-independent: the decimal point is always ".".

// Signed decimal, as "%ld" / "%d" write it.
std::string FormatInteger(int32_t value);
// "%.*g" at precision 15: up to 15 significant digits, no trailing zeros.
std::string FormatNumber(double value);

// Blanks and tabs, an optional sign, decimal digits, blanks and tabs. A text that
// reads as zero must begin (after the blanks) with the digit 0, so "-0", "+0", ""
// and "-" are refused. Values outside 32 bits are refused too.
bool ParseInteger(const std::string& text, int32_t& value);
// As ParseInteger, with an optional decimal point and exponent; values beyond the
// range of a double are refused.
bool ParseNumber(const std::string& text, double& value);

// The index of the first item that begins with prefix, letter case ignored
// (ASCII), or -1. An empty prefix matches nothing, so writing an empty text
// empties the combo box's edit field.
int FindItemStartingWith(const std::vector<std::string>& items, const std::string& prefix);
