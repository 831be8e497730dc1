// The simulated table controller's behaviour: a version and eight counters that count down.
#pragma once

#include "controller/ControllerFrame.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

class SimController {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int Tables = 8;

    // tick 0 keeps the counters still.
    SimController(int32_t version, const std::array<int32_t, Tables>& counters,
                  std::chrono::milliseconds tick, Clock::time_point start);

    // The reply to a request: "V" gives the version, "G" the table's counter, "R" sets it to 0
    // and "C" to the request's value, both answering the new counter. Tables outside 1 to 8
    // answer 0 and change nothing. Unknown commands get no reply.
    std::optional<ControllerFrame> answer(const ControllerFrame& request, Clock::time_point now);

    // Table 1 to 8 at the given time.
    int32_t counter(int32_t table, Clock::time_point now) const;

private:
    struct Counter {
        int32_t loaded = 0;
        Clock::time_point since;
    };

    void load(int32_t table, int32_t value, Clock::time_point now);

    int32_t m_version;
    std::chrono::milliseconds m_tick;
    std::array<Counter, Tables> m_counters;
};
