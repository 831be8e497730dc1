// The log's date-time pattern: ShortDateFormat plus " hh:nn:ss", rendered and read back.
#pragma once

#include <ctime>
#include <optional>
#include <string>

// The user's separators that stand for "/" (date) and ":" (time) in a pattern.
struct DateTimeSeparators {
    std::string date = "/";
    std::string time = ":";
};

// The separators of the process locale (platform file).
DateTimeSeparators UserDateTimeSeparators();

// ShortDateFormat followed by " hh:nn:ss".
std::string DateTimePattern();

// Pattern letters: d dd M MM yy yyyy (date), hh nn ss (24-hour time); doubled letters give two
// digits. "/" and ":" become the separators; text in single quotes and any other character stand
// as they are.
std::string FormatDateTime(const std::tm& moment, const std::string& pattern,
                           const DateTimeSeparators& separators);

// Reads a text written with the same pattern or with fewer leading zeros: d, dd, M, MM, hh, nn and
// ss each take one or two digits. Nothing when the text does not fit the pattern or names no real
// moment.
std::optional<std::tm> ParseDateTime(const std::string& text, const std::string& pattern,
                                     const DateTimeSeparators& separators);
