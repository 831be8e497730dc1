#include "SystemClock.h"

#include <QTime>

TimeOfDay SystemClock::localTimeOfDay() const {
    const QTime now = QTime::currentTime();
    return {now.hour(), now.minute()};
}

const SystemClock& SystemClock::instance() {
    static const SystemClock clock;
    return clock;
}
