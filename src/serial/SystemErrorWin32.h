#pragma once

#include <string>

// The system's own text for a Windows error code (GetLastError,
// WSAGetLastError), from FormatMessage in the user's default language, made
// fit as OneLineReason does; "error N" when the system has no text for it.
std::string WindowsErrorText(unsigned long code);

// UTF-8 and the system's UTF-16, for names handed to the W functions.
std::wstring WideText(const std::string& text);
std::string NarrowText(const std::wstring& text);
