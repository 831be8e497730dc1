#include "sim/SimPort.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const std::string& step) {
    throw std::runtime_error(step + ": " + std::strerror(errno));
}

} // namespace

SimPort::SimPort() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0)
        fail("posix_openpt");
    try {
        if (grantpt(m_master) != 0)
            fail("grantpt");
        if (unlockpt(m_master) != 0)
            fail("unlockpt");
        char name[128];
        if (ptsname_r(m_master, name, sizeof name) != 0)
            fail("ptsname_r");
        m_slavePath = name;
        m_slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_slave < 0)
            fail("open " + m_slavePath);
        termios raw{};
        if (tcgetattr(m_slave, &raw) != 0)
            fail("tcgetattr");
        cfmakeraw(&raw);
        if (tcsetattr(m_slave, TCSANOW, &raw) != 0)
            fail("tcsetattr");
    } catch (...) {
        if (m_slave >= 0)
            close(m_slave);
        close(m_master);
        throw;
    }
}

SimPort::~SimPort() {
    close(m_slave);
    close(m_master);
}
