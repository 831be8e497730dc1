// A pseudo-terminal pair whose slave side is in raw mode and stays open for the pair's life.
#pragma once

#include <string>

class PseudoTerminal {
public:
    // Throws std::runtime_error when the pair cannot be set up.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Non-blocking.
    int master() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    // Held open so the master never sees a hang-up while no client has the port open.
    int m_slave = -1;
    std::string m_slavePath;
};
