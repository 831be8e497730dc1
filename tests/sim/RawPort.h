// A plain client of a simulator's pseudo-terminal: raw writes and reads with a deadline.
#pragma once

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

class RawPort {
public:
    using Clock = std::chrono::steady_clock;

    explicit RawPort(const std::string& path) : m_fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (m_fd < 0)
            throw std::runtime_error("cannot open " + path);
        termios raw{};
        tcgetattr(m_fd, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_fd, TCSANOW, &raw);
    }
    ~RawPort() { close(m_fd); }
    RawPort(const RawPort&) = delete;
    RawPort& operator=(const RawPort&) = delete;

    void send(const std::string& bytes) {
        if (write(m_fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            throw std::runtime_error("short write");
    }

    // Reads until `count` bytes are in or the time is up.
    std::string receive(std::size_t count, std::chrono::milliseconds within) {
        const Clock::time_point deadline = Clock::now() + within;
        std::string got;
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() < 0)
                break;
            pollfd p{m_fd, POLLIN, 0};
            if (poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0)
                continue;
            char buffer[64];
            const ssize_t n = read(m_fd, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    int m_fd;
};
