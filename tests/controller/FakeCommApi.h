// FakeCommApi: a scripted, recording CommApi for FPSerial tests (feed input, read output, inject failures).
#pragma once

#include "controller/CommApi.h"

#include <chrono>
#include <map>
#include <string>
#include <vector>

class FakeCommApi : public CommApi {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr CommHandle PortValue = 42;
    static constexpr uint32_t InvalidHandleCode = 6;
    // The code the fake's IsLineGone counts as a hung-up line.
    static constexpr uint32_t LineGoneCode = 1167;

    // Bytes that arrive on the line and wait in the input queue.
    void feedReceived(const std::string& bytes) { m_received += bytes; }
    // Bytes that arrive later on the fake's clock: the first `perMillisecond` after `after` from
    // now, then as many each millisecond (all at once by default).
    void feedLater(std::chrono::milliseconds after, const std::string& bytes, std::size_t perMillisecond = 0);
    // The fake's monotonic clock. It moves only when a wait passes time (WaitForInput sleeps until
    // the next arrival or its time-out) or through advance(), so nothing here really sleeps.
    Clock::time_point MonotonicNow() override { return m_now; }
    void advance(std::chrono::milliseconds by);
    const std::string& received() const { return m_received; }
    // Everything written to the port so far.
    const std::string& writtenData() const { return m_written; }
    // The next `times` calls of `call` (e.g. "ReadFile") fail with code.
    void injectFailure(const std::string& call, uint32_t code, int times = 1);
    // Every call made, as "Name" or "Name argument" (e.g. "CreateFile \\.\COM3").
    const std::vector<std::string>& calls() const { return m_calls; }
    std::vector<std::string> callNames() const;
    int count(const std::string& call) const;
    void clearCalls() { m_calls.clear(); }

    // What ClearCommError reports as line errors, and the modem-status bits.
    uint32_t lineErrors = 0;
    uint32_t modemStatus = 0;
    // Set by the port calls.
    CommTimeouts timeouts;
    CommState portState{9600, 8, CommParity::None, CommStopBits::One};
    uint32_t lastError = 0;
    // The text FormatMessage returns (as bytes, NULs included); "message <code>" when empty.
    std::string messageText;

    CommHandle CreateFile(const std::string& name) override;
    bool SetupComm(CommHandle port, uint32_t inQueue, uint32_t outQueue) override;
    bool PurgeComm(CommHandle port, uint32_t flags) override;
    bool SetCommTimeouts(CommHandle port, const CommTimeouts& timeouts) override;
    bool GetCommState(CommHandle port, CommState& state) override;
    bool BuildCommDCB(const std::string& definition, CommState& state) override;
    bool SetCommState(CommHandle port, const CommState& state) override;
    bool ClearCommError(CommHandle port, uint32_t& errors, CommStatus& status) override;
    bool ReadFile(CommHandle port, char* buffer, uint32_t toRead, uint32_t& read,
                  CommOverlapped& overlapped) override;
    bool WriteFile(CommHandle port, const char* data, uint32_t toWrite, uint32_t& written,
                   CommOverlapped& overlapped) override;
    bool GetOverlappedResult(CommHandle port, CommOverlapped& overlapped, uint32_t& transferred,
                             bool wait) override;
    bool EscapeCommFunction(CommHandle port, uint32_t function) override;
    bool GetCommModemStatus(CommHandle port, uint32_t& status) override;
    bool CloseHandle(CommHandle port) override;
    bool WaitForInput(CommHandle port, uint32_t milliseconds) override;
    bool IsLineGone(uint32_t code) override { return code == LineGoneCode; }
    uint32_t GetLastError() override;
    uint32_t FormatMessage(uint32_t code, char* buffer, uint32_t size) override;

private:
    // Records the call; false (with lastError set) when a failure was injected for it.
    bool enter(const std::string& name, const std::string& argument = {});
    // As enter, and fails with InvalidHandleCode unless port is the open port.
    bool enterOnPort(const std::string& name, CommHandle port, const std::string& argument = {});
    // The code of an injected failure the call just met, 0 if none.
    uint32_t m_injected = 0;

    // Moves the bytes whose time has come into the input queue.
    void deliverDue();

    Clock::time_point m_now{};
    std::multimap<Clock::time_point, std::string> m_arrivals;
    std::string m_received;
    std::string m_written;
    std::vector<std::string> m_calls;
    std::map<std::string, std::vector<uint32_t>> m_failures;
    bool m_open = false;
    uint32_t m_pendingCount = 0;
};
