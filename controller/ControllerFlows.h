// Runs the controller flows (open, commands, close) one at a time, in a defined order.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>

// The serial layer lets window events run in the middle of an exchange, so a click or a timer
// can ask for a new flow while another one holds the port. Such a request is queued and runs
// after the current flow has ended. Queued refreshes coalesce into one, which moves to the
// place of the latest refresh request, so it always follows every command queued before it;
// other requests keep the order in which they came.
class ControllerFlows {
public:
    enum class Kind { Command, Refresh };

    // Runs the flow now when no flow is under way (then every flow queued meanwhile, before
    // returning); otherwise queues it. Returns true when the flow ran during this call.
    bool request(std::function<void()> flow, Kind kind = Kind::Command);

    // True while a flow runs.
    bool busy() const;
    // Flows waiting for the current one to end.
    std::size_t pending() const;

private:
    struct Request {
        std::function<void()> flow;
        Kind kind;
    };

    void enqueue(std::function<void()> flow, Kind kind);
    void runQueue();

    std::deque<Request> m_queue;
    bool m_running = false;
};
