// The local time of day that the refresh cycle reads; tests put a clock of their own in its place.
#pragma once

struct TimeOfDay {
    int hour = 0; // 0..23
    int minute = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeOfDay localTimeOfDay() const = 0;
};
