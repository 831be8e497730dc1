// Strict reading of a whole decimal number from a command-line word.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The number when the whole text is decimal digits (optionally signed) within [low, high].
std::optional<int32_t> ParseBoundedNumber(const std::string& text, int32_t low, int32_t high);
