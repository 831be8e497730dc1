// The user's regional settings on Windows, read item by item through GetLocaleInfoA; the query is
// a seam so that tests can stand in for the system's answers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Answers as GetLocaleInfoA does: with size 0 the length the text needs, terminator included;
// otherwise the characters stored, terminator included; 0 on failure.
using LocaleInfoQuery = std::function<int(uint32_t item, char* buffer, int size)>;

// GetLocaleInfoA for the user's default locale (the low 16 bits of GetUserDefaultLCID).
LocaleInfoQuery SystemLocaleInfo();

// One item as UTF-8: the needed length first, then the text into a buffer of that length, cut at
// its first NUL. "" when the item cannot be read.
std::string LocaleText(const LocaleInfoQuery& query, uint32_t item);
