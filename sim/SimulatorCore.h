// A table controller on a pseudo-terminal: receives request frames and answers them with line timing and
// faults.
#pragma once

#include "sim/SimController.h"
#include "sim/SimOptions.h"
#include "sim/SimPort.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SimulatorCore {
public:
    using Clock = std::chrono::steady_clock;

    struct ReceivedFrame {
        Clock::time_point at; // when its last byte was in
        std::string text;     // the 12 characters from STX on
        bool wellFormed;      // only well-formed frames are answered
    };

    // Sets up the pseudo-terminal, the link and the log; throws std::runtime_error on failure.
    explicit SimulatorCore(SimOptions options);
    // Stops serving and removes the link.
    ~SimulatorCore();
    SimulatorCore(const SimulatorCore&) = delete;
    SimulatorCore& operator=(const SimulatorCore&) = delete;

    const std::string& slavePath() const { return m_pty.slavePath(); }

    // Serves on the calling thread until stop().
    void run();
    // Serves on a thread of its own.
    void start();
    // Safe from any thread and from a signal handler.
    void stop();

    std::vector<ReceivedFrame> receivedFrames() const;

    // Switches the faults and the line timing (every option but the link, version, counters, tick
    // and log) while serving; safe from any thread. The next frame is answered under them, and
    // ignoreFirst counts from here.
    void setFaults(const SimOptions& faults);
    SimOptions faults() const;

private:
    int32_t lineBaud() const;
    void receive(char byte, Clock::time_point readAt);
    void handleFrame(const std::string& text, Clock::time_point at);
    std::string replyBytes(const ControllerFrame& reply, const SimOptions& faults) const;
    void send(const std::string& bytes, const SimOptions& faults);
    bool writeAll(const char* data, std::size_t size);
    // Sleeps until the deadline; false when stop() came first.
    bool waitUntil(Clock::time_point deadline);
    void record(const ReceivedFrame& frame);
    void publishLink();
    void removeLink();

    mutable std::mutex m_optionsMutex; // guards m_options and m_framesAnswerable
    SimOptions m_options;
    SimPort m_pty;
    SimController m_controller;
    int m_wake = -1;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
    std::FILE* m_log = nullptr;

    std::string m_assembling;
    Clock::time_point m_lastArrival{};
    int64_t m_framesAnswerable = 0;

    mutable std::mutex m_framesMutex;
    std::vector<ReceivedFrame> m_frames;
};
