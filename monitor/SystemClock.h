// The machine's local clock.
#pragma once

#include "Clock.h"

class SystemClock final : public Clock {
public:
    TimeOfDay localTimeOfDay() const override;

    // The one instance the windows use unless they are given another clock.
    static const SystemClock& instance();
};
