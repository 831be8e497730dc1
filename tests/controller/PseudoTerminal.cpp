#include "tests/controller/PseudoTerminal.h"

#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal(int comPort) : m_portDir("QUEDRIX_PORT_DIR", m_folder.path()) {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_slavePath = name;
    map("COM" + std::to_string(comPort));
}

PseudoTerminal::~PseudoTerminal() {
    if (m_slave >= 0)
        ::close(m_slave);
    hangUp();
}

void PseudoTerminal::hangUp() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

void PseudoTerminal::map(const std::string& portName) const {
    ::symlink(m_slavePath.c_str(), m_folder.file(portName).c_str());
}

void PseudoTerminal::allowEveryone() const {
    ::chmod(m_folder.path().c_str(), 0755);
    ::chmod(m_slavePath.c_str(), 0666);
}

void PseudoTerminal::send(const std::string& bytes) const {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

std::string PseudoTerminal::receive(size_t count, std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::string got;
    while (got.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{m_master, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, std::min(sizeof buffer, count - got.size()));
        if (n <= 0)
            break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}
