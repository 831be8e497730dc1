#include "controller/CommPosix.h"

#include "controller/PortDevice.h"
#include "controller/TermiosState.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Like the Windows last-error value, one per thread.
thread_local uint32_t lastError = 0;

bool fail(int error) {
    lastError = static_cast<uint32_t>(error);
    return false;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::optional<uint32_t> parseNumber(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    return static_cast<uint32_t>(std::stoul(text));
}

// Applies one "key=value" item of a line-format text; false when it is not understood.
bool applyItem(const std::string& key, const std::string& value, CommState& state) {
    if (key == "baud") {
        const auto baud = parseNumber(value);
        if (!baud || !isTermiosBaud(*baud))
            return false;
        state.baudRate = *baud;
        return true;
    }
    if (key == "parity") {
        static const std::pair<const char*, CommParity> parities[] = {
            {"n", CommParity::None}, {"e", CommParity::Even},  {"o", CommParity::Odd},
            {"m", CommParity::Mark}, {"s", CommParity::Space},
        };
        for (const auto& [letter, parity] : parities)
            if (value == letter) {
                state.parity = parity;
                return true;
            }
        return false;
    }
    if (key == "data") {
        const auto bits = parseNumber(value);
        if (!bits || *bits < 5 || *bits > 8)
            return false;
        state.byteSize = static_cast<uint8_t>(*bits);
        return true;
    }
    if (key == "stop") {
        if (value == "1")
            state.stopBits = CommStopBits::One;
        else if (value == "1.5")
            state.stopBits = CommStopBits::OneAndHalf;
        else if (value == "2")
            state.stopBits = CommStopBits::Two;
        else
            return false;
        return true;
    }
    return false;
}

using Clock = std::chrono::steady_clock;

// The end of a read or write that may take multiplier ms per byte plus constant ms; none when both are 0.
std::optional<Clock::time_point> deadlineOf(uint32_t multiplier, uint32_t constant, uint32_t bytes) {
    const uint64_t total = uint64_t{multiplier} * bytes + constant;
    if (total == 0)
        return std::nullopt;
    return Clock::now() + std::chrono::milliseconds(total);
}

// Milliseconds left until deadline for poll: -1 for no deadline, 0 once it has passed.
int pollTimeout(const std::optional<Clock::time_point>& deadline) {
    if (!deadline)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, 1 << 30));
}

// Waits up to timeout ms for fd to be ready: the poll result flags, 0 when none came, -1 on failure.
int waitReady(int fd, short events, int timeout) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, timeout);
    if (ready < 0 && errno != EINTR) {
        fail(errno);
        return -1;
    }
    return ready > 0 ? entry.revents : 0;
}

} // namespace

int CommPosix::descriptor(CommHandle port) {
    std::lock_guard lock(m_mutex);
    if (m_ports.count(port) == 0) {
        fail(EBADF);
        return -1;
    }
    return static_cast<int>(port);
}

bool CommPosix::timeoutsOf(CommHandle port, CommTimeouts& timeouts) {
    std::lock_guard lock(m_mutex);
    const auto found = m_ports.find(port);
    if (found == m_ports.end())
        return fail(EBADF);
    timeouts = found->second.timeouts;
    return true;
}

CommHandle CommPosix::CreateFile(const std::string& name) {
    const std::string prefix = "\\\\.\\";
    const std::string portName = name.rfind(prefix, 0) == 0 ? name.substr(prefix.size()) : name;
    const std::string path = portDevicePath(portName);
    if (path.empty()) {
        fail(ENOENT);
        return InvalidCommHandle;
    }
    // Non-blocking, so that opening a FIFO or a device that waits for a carrier never hangs.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fail(errno);
        return InvalidCommHandle;
    }
    const auto refuse = [fd](int error) {
        ::close(fd);
        fail(error);
        return InvalidCommHandle;
    };
    // Only a terminal is a serial line: a regular file, a FIFO or /dev/null must never receive frames.
    LineAsFound found;
    switch (InspectOpenedDevice(fd, m_driver, found.settings)) {
    case OpenedDevice::NoUart:
        return refuse(ENOENT);
    case OpenedDevice::NotATerminal:
        return refuse(ENOTTY);
    case OpenedDevice::SerialLine:
        break;
    }
    // The lock keeps out every other opener, root included; TIOCEXCL alone does not stop root.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return refuse(errno == EWOULDBLOCK ? EBUSY : errno);
    if (::ioctl(fd, TIOCEXCL) != 0)
        return refuse(errno);
    found.lowLatencySet = SetLowLatency(fd, m_driver);
    std::lock_guard lock(m_mutex);
    m_ports[fd] = OpenPort{CommTimeouts{}, found};
    return fd;
}

bool CommPosix::SetupComm(CommHandle port, uint32_t, uint32_t) {
    // The kernel sizes its own queues; only check that this is an open terminal.
    const int fd = descriptor(port);
    if (fd < 0)
        return false;
    termios settings{};
    return m_driver.getAttributes(fd, settings) || fail(errno);
}

bool CommPosix::PurgeComm(CommHandle port, uint32_t flags) {
    const int fd = descriptor(port);
    if (fd < 0)
        return false;
    if ((flags & ~uint32_t{0xF}) != 0)
        return fail(EINVAL);
    // Reads and writes complete before they return, so there is nothing to abort.
    const bool input = flags & CommPurgeRxClear;
    const bool output = flags & CommPurgeTxClear;
    termios settings{};
    if (!input && !output)
        return m_driver.getAttributes(fd, settings) || fail(errno);
    const int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return ::tcflush(fd, queue) == 0 || fail(errno);
}

bool CommPosix::SetCommTimeouts(CommHandle port, const CommTimeouts& timeouts) {
    std::lock_guard lock(m_mutex);
    const auto found = m_ports.find(port);
    if (found == m_ports.end())
        return fail(EBADF);
    found->second.timeouts = timeouts;
    return true;
}

bool CommPosix::GetCommState(CommHandle port, CommState& state) {
    const int fd = descriptor(port);
    if (fd < 0)
        return false;
    termios settings{};
    if (!m_driver.getAttributes(fd, settings))
        return fail(errno);
    state = commStateOf(settings);
    return true;
}

bool CommPosix::BuildCommDCB(const std::string& definition, CommState& state) {
    // "baud=9600 parity=N data=8 stop=1": any of the items, in any order, names in any case.
    CommState built = state;
    built.outxCtsFlow = built.outxDsrFlow = built.outX = built.inX = false;
    std::istringstream items(definition);
    std::string item;
    bool any = false;
    while (items >> item) {
        const auto equals = item.find('=');
        if (equals == std::string::npos ||
            !applyItem(lower(item.substr(0, equals)), lower(item.substr(equals + 1)), built))
            return fail(EINVAL);
        any = true;
    }
    if (!any)
        return fail(EINVAL);
    state = built;
    return true;
}

bool CommPosix::SetCommState(CommHandle port, const CommState& state) {
    const int fd = descriptor(port);
    if (fd < 0)
        return false;
    termios old{};
    if (!m_driver.getAttributes(fd, old))
        return fail(errno);
    termios wanted = old;
    if (!applyCommState(state, wanted))
        return fail(EINVAL);
    if (!m_driver.setAttributes(fd, wanted))
        return fail(errno);
    // tcsetattr succeeds when any part applied; a device that dropped a setting keeps its old ones.
    termios applied{};
    if (!m_driver.getAttributes(fd, applied))
        return fail(errno);
    if (!sameLineSettings(applied, wanted)) {
        m_driver.setAttributes(fd, old);
        return fail(EINVAL);
    }
    return true;
}

bool CommPosix::ClearCommError(CommHandle port, uint32_t& errors, CommStatus& status) {
    const int fd = descriptor(port);
    if (fd < 0)
        return false;
    int waiting = 0;
    int unsent = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0 || ::ioctl(fd, TIOCOUTQ, &unsent) != 0)
        return fail(errno);
    // Linux keeps no line-error flags to collect and clear here.
    errors = 0;
    status.inQueue = static_cast<uint32_t>(waiting);
    status.outQueue = static_cast<uint32_t>(unsent);
    return true;
}

bool CommPosix::ReadFile(CommHandle port, char* buffer, uint32_t toRead, uint32_t& read, CommOverlapped&) {
    read = 0;
    CommTimeouts timeouts;
    if (!timeoutsOf(port, timeouts))
        return false;
    const int fd = static_cast<int>(port);
    // The largest interval with no totals means: return at once with what is there.
    const bool immediate = timeouts.readIntervalTimeout == CommMaxTimeout &&
                           timeouts.readTotalTimeoutMultiplier == 0 && timeouts.readTotalTimeoutConstant == 0;
    const auto deadline =
        deadlineOf(timeouts.readTotalTimeoutMultiplier, timeouts.readTotalTimeoutConstant, toRead);
    while (read < toRead) {
        const ssize_t got = ::read(fd, buffer + read, toRead - read);
        if (got > 0) {
            read += static_cast<uint32_t>(got);
            continue;
        }
        if (got < 0 && errno != EAGAIN && errno != EINTR)
            return fail(errno);
        const int timeout = immediate ? 0 : pollTimeout(deadline);
        if (timeout == 0)
            break; // a read time-out ends the read with what has arrived
        const int ready = waitReady(fd, POLLIN, timeout);
        if (ready < 0)
            return false;
        if (ready & (POLLHUP | POLLERR | POLLNVAL))
            break; // hung up, and nothing was left to read: nothing more will arrive
    }
    return true;
}

bool CommPosix::WriteFile(CommHandle port, const char* data, uint32_t toWrite, uint32_t& written,
                          CommOverlapped&) {
    written = 0;
    CommTimeouts timeouts;
    if (!timeoutsOf(port, timeouts))
        return false;
    const int fd = static_cast<int>(port);
    const auto deadline =
        deadlineOf(timeouts.writeTotalTimeoutMultiplier, timeouts.writeTotalTimeoutConstant, toWrite);
    while (written < toWrite) {
        const ssize_t put = ::write(fd, data + written, toWrite - written);
        if (put > 0) {
            written += static_cast<uint32_t>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR)
            return fail(errno);
        const int timeout = pollTimeout(deadline);
        if (timeout == 0)
            return fail(ETIMEDOUT); // the line did not take the data in time
        if (waitReady(fd, POLLOUT, timeout) < 0)
            return false;
    }
    return true;
}

bool CommPosix::GetOverlappedResult(CommHandle port, CommOverlapped&, uint32_t& transferred, bool) {
    // Reads and writes here always complete before they return, so nothing is ever left pending.
    if (descriptor(port) < 0)
        return false;
    transferred = 0;
    return true;
}

bool CommPosix::EscapeCommFunction(CommHandle port, uint32_t function) {
    const int fd = descriptor(port);
    if (fd < 0)
        return false;
    int bits = 0;
    unsigned long request = 0;
    switch (function) {
    case CommSetXoff:
        return ::tcflow(fd, TCOOFF) == 0 || fail(errno);
    case CommSetXon:
        return ::tcflow(fd, TCOON) == 0 || fail(errno);
    case CommSetRts:
    case CommClrRts:
        bits = TIOCM_RTS;
        request = function == CommSetRts ? TIOCMBIS : TIOCMBIC;
        break;
    case CommSetDtr:
    case CommClrDtr:
        bits = TIOCM_DTR;
        request = function == CommSetDtr ? TIOCMBIS : TIOCMBIC;
        break;
    case CommSetBreak:
        return ::ioctl(fd, TIOCSBRK) == 0 || fail(errno);
    case CommClrBreak:
        return ::ioctl(fd, TIOCCBRK) == 0 || fail(errno);
    default:
        return fail(EINVAL);
    }
    return ::ioctl(fd, request, &bits) == 0 || fail(errno);
}

bool CommPosix::GetCommModemStatus(CommHandle port, uint32_t& status) {
    const int fd = descriptor(port);
    if (fd < 0)
        return false;
    int lines = 0;
    if (::ioctl(fd, TIOCMGET, &lines) != 0)
        return fail(errno);
    status = ((lines & TIOCM_CTS) ? CommCtsOn : 0) | ((lines & TIOCM_DSR) ? CommDsrOn : 0) |
             ((lines & TIOCM_RNG) ? CommRingOn : 0) | ((lines & TIOCM_CAR) ? CommRlsdOn : 0);
    return true;
}

bool CommPosix::CloseHandle(CommHandle port) {
    LineAsFound found;
    {
        std::lock_guard lock(m_mutex);
        const auto open = m_ports.find(port);
        if (open == m_ports.end())
            return fail(EBADF);
        found = open->second.found;
        m_ports.erase(open);
    }
    const int fd = static_cast<int>(port);
    // Whatever device this is (a console, another program's port), it is left as it was found.
    RestoreSerialLine(fd, m_driver, found);
    // On a pseudo-terminal the exclusive flag outlives the descriptor; clear it for the next opener.
    ::ioctl(fd, TIOCNXCL);
    // Release the lock for every holder of this open file, a forked child included.
    ::flock(fd, LOCK_UN);
    if (::close(fd) != 0 && errno != EINTR)
        return fail(errno);
    return true;
}

bool CommPosix::WaitForInput(CommHandle port, uint32_t milliseconds) {
    const int fd = descriptor(port);
    if (fd < 0)
        return false;
    const int ready = waitReady(fd, POLLIN, static_cast<int>(std::min<uint32_t>(milliseconds, 1u << 30)));
    if (ready < 0)
        return false;
    // A hung-up line reports ready at once and forever; it cannot be waited on.
    if (ready & (POLLHUP | POLLERR))
        return fail(EIO);
    if (ready & POLLNVAL)
        return fail(EBADF);
    return true;
}

bool CommPosix::IsLineGone(uint32_t code) {
    // What a terminal reports once it has been hung up or its device has been removed.
    return code == EIO || code == ENXIO || code == ENODEV;
}

uint32_t CommPosix::GetLastError() {
    return lastError;
}

uint32_t CommPosix::FormatMessage(uint32_t code, char* buffer, uint32_t size) {
    if (size == 0) {
        fail(EINVAL);
        return 0;
    }
    char scratch[256];
    const char* text = ::strerror_r(static_cast<int>(code), scratch, sizeof scratch);
    const size_t length = std::min<size_t>(std::strlen(text), size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<uint32_t>(length);
}

CommApi& defaultCommApi() {
    static CommPosix api;
    return api;
}
