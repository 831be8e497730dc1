// Table controller simulators on pseudo-terminals, mapped in as COM ports through QUEDRIX_PORT_DIR.
#pragma once

#include "sim/SimulatorCore.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class SimulatedPorts {
public:
    // Every COM port of the process now maps into a fresh, empty folder.
    SimulatedPorts() = default;

    // Counters stand still unless the options say otherwise, so readings are exact.
    static SimOptions still() {
        SimOptions options;
        options.tickMs = 0;
        return options;
    }

    // Starts a simulator that appears as COM<port>.
    SimulatorCore& add(int port, SimOptions options = still()) {
        options.link = portPath(port);
        auto& slot = m_simulators[port];
        slot = std::make_unique<SimulatorCore>(options);
        slot->start();
        return *slot;
    }

    std::string portPath(int port) const { return m_folder.file("COM" + std::to_string(port)); }
    const TempFolder& folder() const { return m_folder; }

    // The frames one simulator has received, as text.
    std::vector<std::string> frames(int port) const {
        std::vector<std::string> texts;
        for (const auto& frame : m_simulators.at(port)->receivedFrames())
            texts.push_back(frame.text);
        return texts;
    }

private:
    TempFolder m_folder;
    ScopedEnv m_portDir{"QUEDRIX_PORT_DIR", m_folder.path()};
    std::map<int, std::unique_ptr<SimulatorCore>> m_simulators;
};
