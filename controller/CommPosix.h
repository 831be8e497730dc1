// CommPosix: the serial-port calls over POSIX termios, for Linux.
#pragma once

#include "controller/CommApi.h"
#include "controller/SerialDriver.h"

#include <map>
#include <mutex>

class CommPosix : public CommApi {
public:
    // driver answers for the serial drivers behind the opened devices (tests give a fake).
    explicit CommPosix(SerialDriver& driver = kernelSerialDriver()) : m_driver(driver) {}
    CommPosix(const CommPosix&) = delete;
    CommPosix& operator=(const CommPosix&) = delete;

    // Strips a leading "\\.\", maps the port name to a device (PortDevice.h) and opens it exclusively;
    // a legacy port with no UART behind it fails as a missing one (ENOENT), anything else that is
    // not a terminal is refused with ENOTTY (SerialDriver.h).
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
    // Gives the line back as the open found it (SerialDriver.h), then closes it.
    bool CloseHandle(CommHandle port) override;
    bool WaitForInput(CommHandle port, uint32_t milliseconds) override;
    bool IsLineGone(uint32_t code) override;
    uint32_t GetLastError() override;
    uint32_t FormatMessage(uint32_t code, char* buffer, uint32_t size) override;

private:
    // The descriptor of a port this object opened and has not closed; -1 (EBADF recorded) otherwise.
    // Only such descriptors are used, so a stale handle never reaches a file that reused its number.
    int descriptor(CommHandle port);
    bool timeoutsOf(CommHandle port, CommTimeouts& timeouts);

    struct OpenPort {
        CommTimeouts timeouts;
        LineAsFound found;
    };

    SerialDriver& m_driver;
    std::mutex m_mutex;
    std::map<CommHandle, OpenPort> m_ports;
};
