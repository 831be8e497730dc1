#include "monitor/SystemClock.h"

#include <ctime>

TimeOfDay SystemClock::localTimeOfDay() const {
    const std::time_t now = std::time(nullptr);
    // Read on the window's thread only, so the shared result of localtime is safe here.
    const std::tm* local = std::localtime(&now);
    if (local == nullptr)
        return {};
    return {local->tm_hour, local->tm_min};
}

int64_t SystemClock::now() const {
    return static_cast<int64_t>(std::time(nullptr));
}

LocalDateTime SystemClock::localTime(int64_t secondsSinceEpoch) const {
    const auto instant = static_cast<std::time_t>(secondsSinceEpoch);
    const std::tm* local = std::localtime(&instant);
    if (local == nullptr)
        return LocalTimeAtOffset(secondsSinceEpoch, 0);
    LocalDateTime time{local->tm_year + 1900,
                       local->tm_mon + 1,
                       local->tm_mday,
                       local->tm_hour,
                       local->tm_min,
                       local->tm_sec,
                       0};
    // The offset is what the local calendar time is ahead of UTC, whatever the platform's tm holds.
    time.utcOffsetSeconds = static_cast<int>(SecondsSinceEpochAsUtc(time) - secondsSinceEpoch);
    return time;
}

const SystemClock& SystemClock::instance() {
    static const SystemClock clock;
    return clock;
}
