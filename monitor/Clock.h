// The local time that the monitor windows read; tests put a clock of their own in its place.
#pragma once

#include <cstdint>
#include <string>

struct TimeOfDay {
    int hour = 0; // 0..23
    int minute = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeOfDay localTimeOfDay() const = 0;
};

// A moment as the local calendar shows it, with the local offset from UTC in force then.
struct LocalDateTime {
    int year = 1970;
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int utcOffsetSeconds = 0;
};

// Seconds since 1970-01-01 UTC and their local calendar time, for the watch's ledger and intervals.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual int64_t now() const = 0;
    virtual LocalDateTime localTime(int64_t secondsSinceEpoch) const = 0;
};

// ISO 8601 with the offset: "2026-12-08T21:05:40+02:00".
std::string IsoDateTimeText(const LocalDateTime& time);

// The local calendar time of an instant at a fixed offset from UTC.
LocalDateTime LocalTimeAtOffset(int64_t secondsSinceEpoch, int utcOffsetSeconds);

// The seconds since 1970-01-01 of a date and time read as UTC.
int64_t SecondsSinceEpochAsUtc(const LocalDateTime& time);
