// FakeCommApi: a scripted, recording CommApi for FPSerial tests (feed input, read output, inject failures).
#pragma once

#include "CommApi.h"

#include <map>
#include <string>
#include <vector>

class FakeCommApi : public CommApi {
public:
    static constexpr CommHandle PortValue = 42;
    static constexpr uint32_t InvalidHandleCode = 6;

    // Bytes that arrive on the line and wait in the input queue.
    void feedReceived(const std::string& bytes) { m_received += bytes; }
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
    // Never sleeps: the fake's input is either there already or does not come.
    bool WaitForInput(CommHandle port, uint32_t milliseconds) override;
    uint32_t GetLastError() override;
    uint32_t FormatMessage(uint32_t code, char* buffer, uint32_t size) override;

private:
    // Records the call; false (with lastError set) when a failure was injected for it.
    bool enter(const std::string& name, const std::string& argument = {});
    // As enter, and fails with InvalidHandleCode unless port is the open port.
    bool enterOnPort(const std::string& name, CommHandle port, const std::string& argument = {});
    // The code of an injected failure the call just met, 0 if none.
    uint32_t m_injected = 0;

    std::string m_received;
    std::string m_written;
    std::vector<std::string> m_calls;
    std::map<std::string, std::vector<uint32_t>> m_failures;
    bool m_open = false;
    uint32_t m_pendingCount = 0;
};
