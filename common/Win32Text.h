// Text at the Win32 boundary: UTF-8 of the program to UTF-16 and the system's code pages, and the
// system's messages for error codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// UTF-8 to UTF-16 for the W calls, e.g. a path; malformed bytes become U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// UTF-8 to and from the system's ANSI code page, for the A calls (FindFirstFileA, GetLocaleInfoA).
std::string AnsiFromUtf8(std::string_view utf8);
std::string Utf8FromAnsi(std::string_view ansi);

// The system's message for an error code (FormatMessageA, default language), without the line
// break at its end; "error <code>" when the system has none.
std::string Win32ErrorText(uint32_t code);

// "<what> <path>: <message> (<code>)" for the last failed call of this thread.
std::string Win32Failure(const std::string& what, const std::string& path);
