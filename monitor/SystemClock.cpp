#include "SystemClock.h"

#include <ctime>

TimeOfDay SystemClock::localTimeOfDay() const {
    const std::time_t now = std::time(nullptr);
    // Read on the window's thread only, so the shared result of localtime is safe here.
    const std::tm* local = std::localtime(&now);
    if (local == nullptr)
        return {};
    return {local->tm_hour, local->tm_min};
}

const SystemClock& SystemClock::instance() {
    static const SystemClock clock;
    return clock;
}
