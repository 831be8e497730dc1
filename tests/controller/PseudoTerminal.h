// PseudoTerminal: a pty whose slave stands in for a serial port, mapped in as COMn through QUEDRIX_PORT_DIR.
#pragma once

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <chrono>
#include <string>

class PseudoTerminal {
public:
    explicit PseudoTerminal(int comPort = 5);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return m_master >= 0; }
    int master() const { return m_master; }
    // The test's own descriptor of the slave, for looking at its settings.
    int slave() const { return m_slave; }
    const std::string& slavePath() const { return m_slavePath; }
    const TempFolder& folder() const { return m_folder; }

    // Maps one more port name (e.g. "COM0") to this terminal.
    void map(const std::string& portName) const;
    // Lets any user open the device, for openers that run unprivileged.
    void allowEveryone() const;

    // The device side: what the port receives, and what it sent.
    void send(const std::string& bytes) const;
    std::string receive(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) const;
    // The device goes away: closes the master side.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    TempFolder m_folder;
    ScopedEnv m_portDir;
};
