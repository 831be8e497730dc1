// How the localisation reads texts: blank texts, numeric values, leading characters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Empty or spaces only.
bool IsBlank(const std::string& text);

// The leading decimal number after leading spaces (sign and fraction allowed, the rest ignored),
// rounded half to even; 0 when there is no number, nothing when it does not fit 32 bits.
std::optional<int32_t> NumericValue(const std::string& text);

// The first count characters of a UTF-8 text (never half a character).
std::string FirstCharacters(const std::string& text, size_t count);
