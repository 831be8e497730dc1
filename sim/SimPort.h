// The simulator's pseudo-terminal: the slave side is raw and held open for the object's life.
#pragma once

#include <string>

class SimPort {
public:
    // Throws std::runtime_error when the pair cannot be set up.
    SimPort();
    ~SimPort();
    SimPort(const SimPort&) = delete;
    SimPort& operator=(const SimPort&) = delete;

    // Non-blocking.
    int master() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    // Held open so the master never sees a hang-up while no client has the port open.
    int m_slave = -1;
    std::string m_slavePath;
};
