// The configuration file Quedrix.cfg, the record AppConfig read from it, and the tray tip.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

struct AppConfigRecord {
    std::string CfgFile;   // full path of Quedrix.cfg
    std::string Language;  // two-letter user-interface language code; also CurrentLanguageCode
    double Peak = 0;       // price per minute inside the peak period
    double OffPeak = 0;    // price per minute outside it
    std::string StartTime; // first minute of the peak period, "HH:MM", kept as text
    std::string EndTime;   // last minute of the peak period, "HH:MM", kept as text
};

extern AppConfigRecord AppConfig;

// The language in force: the same storage as AppConfig.Language.
extern std::string& CurrentLanguageCode;

// Reads Quedrix.cfg of the application folder into AppConfig, each field on its own; a field whose
// value is missing or unreadable keeps what it had. Always returns true.
bool LoadConfiguration();

// A rate as an operator writes it: a number in the user's regional format, or else written with the
// other decimal separator ("0.50" where the regional one is a comma, "0,50" where it is a point)
// without grouping. Nothing for text that is no finite decimal number (letters, hexadecimal, inf, nan).
std::optional<double> RateFromText(const std::string& text);

// Stores the caption as the tray tip: its 8-bit text and a NUL, left-aligned in a field of 128
// characters filled with spaces, cut at 128 characters (so at most 127 reach the tip).
void SetTrayTip(const std::string& caption);

constexpr std::size_t kTrayTipFieldSize = 128;

// The tip field as SetTrayTip left it (8-bit code-page text).
const std::array<char, kTrayTipFieldSize>& TrayTipField();

// The text the tray shows: the field up to its NUL, at most 127 characters, as UTF-8.
std::string TrayTip();
