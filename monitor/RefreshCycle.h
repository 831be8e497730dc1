// What one refresh shows for a table: time texts, colours, the peak test and the charge.
#pragma once

#include "monitor/Clock.h"

#include <cstdint>
#include <optional>
#include <string>

constexpr int TableCount = 8;
// The value that starts a table in the alternative mode; the controller counts it down.
constexpr int32_t IdleCounterBase = 32000;

// Indexes of the 16-colour QBColor palette that the time labels use.
enum class QBColorIndex : int { Green = 10, Red = 12, Yellow = 14 };

// RGB of a QBColor palette index (0..15), as 0xRRGGBB; indexes outside the palette give black.
uint32_t QBColor(int index);

// "HH:MM:SS" of a number of seconds (0 or more), each field at least two digits.
std::string TimeText(int32_t seconds);

// The caption and background of one lblTime label.
struct TimeCell {
    std::string text;
    QBColorIndex colour;
    bool operator==(const TimeCell&) const = default;
};

// Standard mode: the reading is the table's seconds; a negative reading means no valid reply.
TimeCell StandardTimeCell(int32_t reading);

// Alternative mode: elapsed seconds since the start (32000 minus the reading), 0 for an idle table.
// Only meaningful for readings 0..32000 (see HasElapsedTime).
int32_t ElapsedSeconds(int32_t reading);
// False for a reading that carries no elapsed time: no valid reply (< 0) or above the start value.
bool HasElapsedTime(int32_t reading);

// The tariff of the alternative mode: prices per minute and the peak period as "HH:MM" texts.
struct Tariff {
    double peak = 0;
    double offPeak = 0;
    std::string startTime;
    std::string endTime;
};

// "HH:MM" of a time of day with the given separator between hours and minutes.
std::string HourMinuteText(const TimeOfDay& time, const std::string& timeSeparator);
// The peak rate applies when startTime <= now <= endTime, compared as plain text.
bool PeakApplies(const std::string& now, const std::string& startTime, const std::string& endTime);
// Whether the peak rate applies at the clock's present time.
bool PeakNow(const Clock& clock, const std::string& timeSeparator, const Tariff& tariff);
// The price per minute in force at the clock's present time.
double RateNow(const Clock& clock, const std::string& timeSeparator, const Tariff& tariff);

// seconds x rate / 60 in whole cents, worked out on the rate's decimal digits (not the binary
// double) and rounded half away from zero: 3601 s at 0.30 is 18.005, 1801 cents. Nothing for a
// charge or a rate per minute of 10^13 or more (more digits than an amount is shown with), or a
// rate that is not a number.
std::optional<long long> ChargeCents(int32_t seconds, double ratePerMinute);

// The charge as "0.00" with the given decimal separator; "---" when ChargeCents gives nothing.
std::string ChargeText(int32_t seconds, double ratePerMinute, const std::string& decimalSeparator);

// The captions of one table in the alternative mode.
struct AlternativeCells {
    TimeCell time;
    std::string charge;
    bool operator==(const AlternativeCells&) const = default;
};
AlternativeCells AlternativeTableCells(int32_t reading, double ratePerMinute,
                                       const std::string& decimalSeparator);

// The separator between hours and minutes of a Qt/Unicode time pattern such as "HH:mm" or "h.mm AP".
std::string TimeSeparatorOf(const std::string& timePattern);
