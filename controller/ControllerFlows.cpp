#include "controller/ControllerFlows.h"

#include <utility>

bool ControllerFlows::request(std::function<void()> flow, Kind kind) {
    enqueue(std::move(flow), kind);
    if (m_running)
        return false;
    runQueue();
    return true;
}

bool ControllerFlows::busy() const {
    return m_running;
}

std::size_t ControllerFlows::pending() const {
    return m_queue.size();
}

void ControllerFlows::enqueue(std::function<void()> flow, Kind kind) {
    if (kind == Kind::Refresh) {
        std::erase_if(m_queue, [](const Request& r) { return r.kind == Kind::Refresh; });
    }
    m_queue.push_back({std::move(flow), kind});
}

void ControllerFlows::runQueue() {
    // Cleared on every way out, so a flow that throws does not block all later flows.
    struct RunningFlag {
        bool& flag;
        explicit RunningFlag(bool& f) : flag(f) { flag = true; }
        ~RunningFlag() { flag = false; }
    } running(m_running);

    while (!m_queue.empty()) {
        Request next = std::move(m_queue.front());
        m_queue.pop_front();
        next.flow();
    }
}
