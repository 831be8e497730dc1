// A clock the test sets: seconds since 1970 at a fixed offset from UTC, and the time of day they give.
#pragma once

#include "monitor/Clock.h"

struct FakeWallClock : Clock, WallClock {
    int64_t seconds = 1796758800; // 2026-12-08T19:40:00Z: 21:40 at +02:00
    int offset = 2 * 3600;

    int64_t now() const override { return seconds; }
    LocalDateTime localTime(int64_t at) const override { return LocalTimeAtOffset(at, offset); }
    TimeOfDay localTimeOfDay() const override {
        const LocalDateTime local = localTime(seconds);
        return {local.hour, local.minute};
    }
};
