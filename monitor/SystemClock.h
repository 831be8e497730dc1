// The machine's local clock.
#pragma once

#include "monitor/Clock.h"

class SystemClock final : public Clock, public WallClock {
public:
    TimeOfDay localTimeOfDay() const override;
    int64_t now() const override;
    LocalDateTime localTime(int64_t secondsSinceEpoch) const override;

    // The one instance the windows use unless they are given another clock.
    static const SystemClock& instance();
};
