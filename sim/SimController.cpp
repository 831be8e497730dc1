#include "sim/SimController.h"

#include <algorithm>

namespace {

bool isTable(int32_t table) {
    return table >= 1 && table <= SimController::Tables;
}

} // namespace

SimController::SimController(int32_t version, const std::array<int32_t, Tables>& counters,
                             std::chrono::milliseconds tick, Clock::time_point start)
    : m_version(version), m_tick(tick) {
    for (int32_t table = 1; table <= Tables; ++table)
        load(table, counters[table - 1], start);
}

std::optional<ControllerFrame> SimController::answer(const ControllerFrame& request, Clock::time_point now) {
    ControllerFrame reply{request.command, request.table, 0};
    if (request.command == "V") {
        reply.value = m_version;
        return reply;
    }
    if (request.command != "G" && request.command != "R" && request.command != "C")
        return std::nullopt;
    if (!isTable(request.table))
        return reply;
    if (request.command == "R")
        load(request.table, 0, now);
    if (request.command == "C")
        load(request.table, request.value, now);
    reply.value = counter(request.table, now);
    return reply;
}

int32_t SimController::counter(int32_t table, Clock::time_point now) const {
    const Counter& c = m_counters[table - 1];
    if (m_tick.count() == 0)
        return c.loaded;
    const auto ticks = std::max<std::chrono::milliseconds::rep>(0, (now - c.since) / m_tick);
    return static_cast<int32_t>(std::max<std::chrono::milliseconds::rep>(0, c.loaded - ticks));
}

void SimController::load(int32_t table, int32_t value, Clock::time_point now) {
    m_counters[table - 1] = {value, now};
}
