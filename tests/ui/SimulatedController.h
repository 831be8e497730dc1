// A simulated table controller on COM1 of a port folder that a test maps in through QUEDRIX_PORT_DIR.
#pragma once

#include "sim/SimOptions.h"

#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class SimulatorCore;

class SimulatedController {
public:
    SimulatedController(const QString& portFolder, SimOptions options);
    ~SimulatedController();

    // The requests received so far, each as its command and table, e.g. "G03" or "R03".
    std::vector<std::string> requests() const;
    // The same, only those of one command letter.
    std::vector<std::string> requests(char command) const;

    struct Request {
        std::string name; // command and table, e.g. "C03"
        int32_t value;
        std::chrono::steady_clock::time_point at;
    };
    // The requests with their values and arrival times.
    std::vector<Request> timedRequests() const;

private:
    std::unique_ptr<SimulatorCore> m_core;
};

// A controller whose counters stand still, on a line without byte timing.
SimOptions StillController(const std::array<int32_t, 8>& counters, int32_t version = 1);

// Runs pending events until the condition holds or the time is up; true when it holds.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 15000);
