#include "RefreshCycle.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const std::string NoReply = "---";

std::string twoDigits(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", static_cast<int>(value));
    return buffer;
}

} // namespace

uint32_t QBColor(int index) {
    static constexpr std::array<uint32_t, 16> palette = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
        0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
    };
    if (index < 0 || index >= static_cast<int>(palette.size()))
        return 0x000000;
    return palette[static_cast<size_t>(index)];
}

std::string TimeText(int32_t seconds) {
    return twoDigits(seconds / 3600) + ":" + twoDigits(seconds % 3600 / 60) + ":" + twoDigits(seconds % 60);
}

TimeCell StandardTimeCell(int32_t reading) {
    if (reading < 0)
        return {NoReply, QBColorIndex::Red};
    if (reading > 300)
        return {TimeText(reading), QBColorIndex::Green};
    return {TimeText(reading), reading >= 1 ? QBColorIndex::Yellow : QBColorIndex::Red};
}

bool HasElapsedTime(int32_t reading) {
    return reading >= 0 && reading <= IdleCounterBase;
}

int32_t ElapsedSeconds(int32_t reading) {
    return reading == 0 ? 0 : IdleCounterBase - reading;
}

std::string HourMinuteText(const TimeOfDay& time, const std::string& timeSeparator) {
    return twoDigits(time.hour) + timeSeparator + twoDigits(time.minute);
}

bool PeakApplies(const std::string& now, const std::string& startTime, const std::string& endTime) {
    return now >= startTime && now <= endTime;
}

double RateNow(const Clock& clock, const std::string& timeSeparator, const Tariff& tariff) {
    const std::string now = HourMinuteText(clock.localTimeOfDay(), timeSeparator);
    return PeakApplies(now, tariff.startTime, tariff.endTime) ? tariff.peak : tariff.offPeak;
}

std::string ChargeText(int32_t seconds, double ratePerMinute, const std::string& decimalSeparator) {
    const long long cents = std::llround(static_cast<double>(seconds) * ratePerMinute / 60.0 * 100.0);
    const long long whole = std::llabs(cents);
    char units[32];
    char fraction[8];
    std::snprintf(units, sizeof units, "%s%lld", cents < 0 ? "-" : "", whole / 100);
    std::snprintf(fraction, sizeof fraction, "%02lld", whole % 100);
    std::string text = units;
    text += decimalSeparator;
    text += fraction;
    return text;
}

AlternativeCells AlternativeTableCells(int32_t reading, double ratePerMinute,
                                       const std::string& decimalSeparator) {
    if (!HasElapsedTime(reading))
        return {{NoReply, QBColorIndex::Red}, NoReply};
    const int32_t elapsed = ElapsedSeconds(reading);
    return {{TimeText(elapsed), elapsed > 0 ? QBColorIndex::Green : QBColorIndex::Red},
            ChargeText(elapsed, ratePerMinute, decimalSeparator)};
}

std::string TimeSeparatorOf(const std::string& timePattern) {
    const auto isHour = [](char c) { return c == 'h' || c == 'H'; };
    size_t pos = 0;
    while (pos < timePattern.size() && !isHour(timePattern[pos]))
        ++pos;
    while (pos < timePattern.size() && isHour(timePattern[pos]))
        ++pos;
    std::string separator;
    for (; pos < timePattern.size() && timePattern[pos] != 'm'; ++pos) {
        if (timePattern[pos] != '\'')
            separator += timePattern[pos];
    }
    if (pos == timePattern.size() || separator.empty())
        return ":";
    return separator;
}
