#include "monitor/Clock.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
int64_t daysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

int64_t SecondsSinceEpochAsUtc(const LocalDateTime& time) {
    return daysFromCivil(time.year, static_cast<unsigned>(time.month), static_cast<unsigned>(time.day)) *
               86400 +
           time.hour * 3600 + time.minute * 60 + time.second;
}

LocalDateTime LocalTimeAtOffset(int64_t secondsSinceEpoch, int utcOffsetSeconds) {
    const int64_t local = secondsSinceEpoch + utcOffsetSeconds;
    const int64_t days = floorDiv(local, 86400);
    const int64_t secondOfDay = local - days * 86400;
    // civil_from_days
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    LocalDateTime time;
    time.year = static_cast<int>(static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2));
    time.month = static_cast<int>(month);
    time.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    time.hour = static_cast<int>(secondOfDay / 3600);
    time.minute = static_cast<int>(secondOfDay % 3600 / 60);
    time.second = static_cast<int>(secondOfDay % 60);
    time.utcOffsetSeconds = utcOffsetSeconds;
    return time;
}

std::string IsoDateTimeText(const LocalDateTime& time) {
    const int offsetMinutes = std::abs(time.utcOffsetSeconds) / 60;
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.utcOffsetSeconds < 0 ? '-' : '+',
                  offsetMinutes / 60, offsetMinutes % 60);
    return text;
}
