#include "sim/SimulatorCore.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int kBitsPerByte = 10; // 8N1: start bit, 8 data bits, stop bit
constexpr std::size_t kSplitPiece = 4;
constexpr std::chrono::milliseconds kSplitGap{15};
constexpr const char* kNoiseBytes = "#\x03\xff~";

std::string printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == ControllerFrame::STX)
            out += "<STX>";
        else if (c == ControllerFrame::ETX)
            out += "<ETX>";
        else if (c < 0x20 || c >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

// How long one byte takes on the line; zero when line timing is off.
SimulatorCore::Clock::duration byteTimeAt(int32_t baud) {
    if (baud <= 0)
        return SimulatorCore::Clock::duration::zero();
    return std::chrono::duration_cast<SimulatorCore::Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(kBitsPerByte) / baud));
}

} // namespace

SimulatorCore::SimulatorCore(SimOptions options)
    : m_options(std::move(options)), m_controller(m_options.version, m_options.counters,
                                                  std::chrono::milliseconds(m_options.tickMs), Clock::now()) {
    m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake < 0)
        throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
    if (!m_options.logPath.empty()) {
        m_log = std::fopen(m_options.logPath.c_str(), "a");
        if (!m_log) {
            close(m_wake);
            throw std::runtime_error("cannot open log " + m_options.logPath + ": " + std::strerror(errno));
        }
    }
    try {
        publishLink();
    } catch (...) {
        if (m_log)
            std::fclose(m_log);
        close(m_wake);
        throw;
    }
}

SimulatorCore::~SimulatorCore() {
    stop();
    if (m_thread.joinable())
        m_thread.join();
    removeLink();
    if (m_log)
        std::fclose(m_log);
    close(m_wake);
}

void SimulatorCore::start() {
    m_thread = std::thread([this] { run(); });
}

void SimulatorCore::stop() {
    m_stopping = true;
    const uint64_t one = 1;
    // Only async-signal-safe calls here.
    [[maybe_unused]] ssize_t written = write(m_wake, &one, sizeof one);
}

void SimulatorCore::run() {
    // Line timing sleeps a few tens of microseconds at a time; keep the kernel's slack below that.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    char buffer[256];
    while (!m_stopping) {
        pollfd fds[2] = {{m_pty.master(), POLLIN, 0}, {m_wake, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        const ssize_t n = read(m_pty.master(), buffer, sizeof buffer);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0) {
            // The slave side is held open, so this is not a client hanging up; do not spin on it.
            if (!waitUntil(Clock::now() + std::chrono::milliseconds(10)))
                return;
            continue;
        }
        const Clock::time_point readAt = Clock::now();
        for (ssize_t i = 0; i < n && !m_stopping; ++i)
            receive(buffer[i], readAt);
    }
}

void SimulatorCore::setFaults(const SimOptions& faults) {
    std::lock_guard lock(m_optionsMutex);
    m_options.baud = faults.baud;
    m_options.silent = faults.silent;
    m_options.silentTables = faults.silentTables;
    m_options.noise = faults.noise;
    m_options.shortReply = faults.shortReply;
    m_options.badValue = faults.badValue;
    m_options.replyDelayMs = faults.replyDelayMs;
    m_options.split = faults.split;
    m_options.ignoreFirst = faults.ignoreFirst;
    m_framesAnswerable = 0;
}

SimOptions SimulatorCore::faults() const {
    std::lock_guard lock(m_optionsMutex);
    return m_options;
}

int32_t SimulatorCore::lineBaud() const {
    std::lock_guard lock(m_optionsMutex);
    return m_options.baud;
}

std::vector<SimulatorCore::ReceivedFrame> SimulatorCore::receivedFrames() const {
    std::lock_guard lock(m_framesMutex);
    return m_frames;
}

void SimulatorCore::receive(char byte, Clock::time_point readAt) {
    // On a real line a byte is in only after its bits have passed; bytes queue behind each other.
    m_lastArrival = std::max(readAt, m_lastArrival) + byteTimeAt(lineBaud());
    if (m_assembling.empty() && byte != ControllerFrame::STX)
        return;
    m_assembling += byte;
    if (m_assembling.size() < ControllerFrame::Length)
        return;
    const std::string text = std::move(m_assembling);
    m_assembling.clear();
    handleFrame(text, m_lastArrival);
}

void SimulatorCore::handleFrame(const std::string& text, Clock::time_point at) {
    if (!waitUntil(at))
        return;
    const auto request = ControllerFrame::parse(text);
    record({at, text, request.has_value()});
    if (!request)
        return;
    // One frame is answered under the faults in force when it came in.
    SimOptions faults;
    {
        std::lock_guard lock(m_optionsMutex);
        if (++m_framesAnswerable <= m_options.ignoreFirst)
            return;
        faults = m_options;
    }
    if (faults.silent || faults.silentTables.count(request->table) != 0)
        return;
    const auto reply = m_controller.answer(*request, at);
    if (!reply)
        return;
    if (!waitUntil(at + std::chrono::milliseconds(faults.replyDelayMs)))
        return;
    send(replyBytes(*reply, faults), faults);
}

std::string SimulatorCore::replyBytes(const ControllerFrame& reply, const SimOptions& faults) const {
    std::string bytes = reply.text();
    if (faults.badValue)
        bytes.replace(ControllerFrame::ValueOffset, 5, "00abc");
    if (faults.shortReply)
        bytes.pop_back();
    std::string noise;
    const std::size_t noiseKinds = std::strlen(kNoiseBytes);
    for (int32_t i = 0; i < faults.noise; ++i)
        noise += kNoiseBytes[i % noiseKinds];
    return noise + bytes;
}

void SimulatorCore::send(const std::string& bytes, const SimOptions& faults) {
    const std::size_t piece = faults.split ? kSplitPiece : bytes.size();
    const Clock::duration byteTime = byteTimeAt(faults.baud);
    Clock::time_point lineFree = Clock::now();
    for (std::size_t start = 0; start < bytes.size(); start += piece) {
        if (start > 0 && !waitUntil(lineFree += kSplitGap))
            return;
        const std::size_t end = std::min(bytes.size(), start + piece);
        if (byteTime == Clock::duration::zero()) {
            if (!writeAll(bytes.data() + start, end - start))
                return;
            continue;
        }
        for (std::size_t i = start; i < end; ++i) {
            // Hand each byte over once it has fully crossed the line.
            if (!waitUntil(lineFree += byteTime) || !writeAll(&bytes[i], 1))
                return;
        }
    }
}

bool SimulatorCore::writeAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(m_pty.master(), data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd fds[2] = {{m_pty.master(), POLLOUT, 0}, {m_wake, POLLIN, 0}};
        if (poll(fds, 2, 100) > 0 && fds[1].revents != 0)
            return false;
    }
    return true;
}

bool SimulatorCore::waitUntil(Clock::time_point deadline) {
    while (!m_stopping) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return true;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
        pollfd wake{m_wake, POLLIN, 0};
        if (ppoll(&wake, 1, &timeout, nullptr) > 0)
            return false;
    }
    return false;
}

void SimulatorCore::record(const ReceivedFrame& frame) {
    {
        std::lock_guard lock(m_framesMutex);
        m_frames.push_back(frame);
    }
    if (!m_log)
        return;
    const double seconds = std::chrono::duration<double>(frame.at.time_since_epoch()).count();
    std::fprintf(m_log, "%.6f %s%s\n", seconds, printable(frame.text).c_str(),
                 frame.wellFormed ? "" : " invalid");
    std::fflush(m_log);
}

void SimulatorCore::publishLink() {
    if (m_options.link.empty())
        return;
    // Made beside the target and renamed over it, so readers never see a missing or half-made link.
    const std::string temporary = m_options.link + ".new." + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(slavePath().c_str(), temporary.c_str()) != 0 ||
        rename(temporary.c_str(), m_options.link.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        unlink(temporary.c_str());
        throw std::runtime_error("cannot publish " + m_options.link + ": " + reason);
    }
}

void SimulatorCore::removeLink() {
    if (m_options.link.empty())
        return;
    // Leave the link alone when another simulator has taken it over since.
    char target[PATH_MAX];
    const ssize_t n = readlink(m_options.link.c_str(), target, sizeof target - 1);
    if (n >= 0 && std::string(target, static_cast<std::size_t>(n)) == slavePath())
        unlink(m_options.link.c_str());
}
