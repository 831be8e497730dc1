#include "monitor/RefreshCycle.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace {

const std::string NoReply = "---";

// A decimal number as its digits, most significant first, times a power of ten.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// The shortest decimal that reads back as the same double: for a rate the operator wrote with up to
// 15 significant digits, exactly what was written ("0.30" gives 3 x 10^-1, not 0.29999999999999999).
Decimal shortestDecimal(double magnitude) {
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific).ptr;
    const std::string_view text(buffer, static_cast<size_t>(end - buffer)); // "d.ddde+XX"
    const size_t e = text.find('e');
    Decimal decimal;
    for (const char c : text.substr(0, e))
        if (c != '.')
            decimal.digits += c;
    const std::string_view power = text.substr(e + 1);
    int exponent = 0;
    std::from_chars(power.data() + 1, power.data() + power.size(), exponent);
    decimal.exponent =
        (power.front() == '-' ? -exponent : exponent) - static_cast<int>(decimal.digits.size() - 1);
    return decimal;
}

std::string multiplied(const std::string& digits, unsigned long long factor) {
    std::string product;
    unsigned long long carry = 0;
    for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
        carry += static_cast<unsigned long long>(*digit - '0') * factor;
        product.insert(product.begin(), static_cast<char>('0' + carry % 10));
        carry /= 10;
    }
    for (; carry != 0; carry /= 10)
        product.insert(product.begin(), static_cast<char>('0' + carry % 10));
    return product;
}

// Long division by 3: the quotient's digits (as many as the dividend's) and the remainder.
std::pair<std::string, int> dividedByThree(const std::string& digits) {
    std::string quotient;
    int remainder = 0;
    for (const char digit : digits) {
        const int part = remainder * 10 + (digit - '0');
        quotient += static_cast<char>('0' + part / 3);
        remainder = part % 3;
    }
    return {quotient, remainder};
}

std::string twoDigits(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", static_cast<int>(value));
    return buffer;
}

} // namespace

std::optional<long long> ChargeCents(int32_t seconds, double ratePerMinute) {
    constexpr long long kCentLimit = 1'000'000'000'000'000; // 15 digits: 9999999999999.99 at most
    constexpr int kCentDigits = 15;
    if (!std::isfinite(ratePerMinute) || std::fabs(ratePerMinute) * 100 >= static_cast<double>(kCentLimit))
        return std::nullopt;
    // cents = seconds x rate / 60 x 100 = (5 x seconds x rate) / 3, on the rate's decimal digits.
    Decimal amount = shortestDecimal(std::fabs(ratePerMinute));
    amount.digits = multiplied(amount.digits, 5ULL * static_cast<unsigned long long>(std::llabs(seconds)));
    if (amount.exponent > 0) {
        if (amount.digits.size() + static_cast<size_t>(amount.exponent) > kCentDigits + 1)
            return std::nullopt;
        amount.digits.append(static_cast<size_t>(amount.exponent), '0');
        amount.exponent = 0;
    }
    const auto [quotient, remainder] = dividedByThree(amount.digits);
    // Whole cents, and whether the part below a cent is one half or more (then away from zero).
    const size_t fractionDigits = static_cast<size_t>(-amount.exponent);
    std::string whole;
    bool roundUp = false;
    if (fractionDigits == 0) {
        whole = quotient;
        roundUp = remainder == 2;
    } else if (fractionDigits <= quotient.size()) {
        whole = quotient.substr(0, quotient.size() - fractionDigits);
        roundUp = quotient[quotient.size() - fractionDigits] >= '5';
    }
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() > kCentDigits)
        return std::nullopt;
    const long long cents = (whole.empty() ? 0 : std::stoll(whole)) + (roundUp ? 1 : 0);
    if (cents >= kCentLimit)
        return std::nullopt;
    return (seconds < 0) != (ratePerMinute < 0) ? -cents : cents;
}

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

bool PeakNow(const Clock& clock, const std::string& timeSeparator, const Tariff& tariff) {
    const std::string now = HourMinuteText(clock.localTimeOfDay(), timeSeparator);
    return PeakApplies(now, tariff.startTime, tariff.endTime);
}

double RateNow(const Clock& clock, const std::string& timeSeparator, const Tariff& tariff) {
    return PeakNow(clock, timeSeparator, tariff) ? tariff.peak : tariff.offPeak;
}

std::string ChargeText(int32_t seconds, double ratePerMinute, const std::string& decimalSeparator) {
    const auto cents = ChargeCents(seconds, ratePerMinute);
    if (!cents)
        return NoReply;
    const long long whole = std::llabs(*cents);
    char units[32];
    char fraction[8];
    std::snprintf(units, sizeof units, "%s%lld", *cents < 0 ? "-" : "", whole / 100);
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
