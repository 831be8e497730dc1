// CommApi: the operating system's serial-port calls, one member per call, so FPSerial is platform-free.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

// An open port; the descriptor on POSIX, the HANDLE value on Windows.
using CommHandle = std::intptr_t;
inline constexpr CommHandle InvalidCommHandle = -1;

// Error codes FPSerial treats specially (the Windows values; other platforms never report them).
inline constexpr uint32_t CommIoPending = 997;
inline constexpr uint32_t CommIoIncomplete = 996;

// PurgeComm flags.
inline constexpr uint32_t CommPurgeTxAbort = 0x1;
inline constexpr uint32_t CommPurgeRxAbort = 0x2;
inline constexpr uint32_t CommPurgeTxClear = 0x4;
inline constexpr uint32_t CommPurgeRxClear = 0x8;

// EscapeCommFunction codes.
inline constexpr uint32_t CommSetXoff = 1;
inline constexpr uint32_t CommSetXon = 2;
inline constexpr uint32_t CommSetRts = 3;
inline constexpr uint32_t CommClrRts = 4;
inline constexpr uint32_t CommSetDtr = 5;
inline constexpr uint32_t CommClrDtr = 6;
inline constexpr uint32_t CommSetBreak = 8;
inline constexpr uint32_t CommClrBreak = 9;

// GetCommModemStatus bits.
inline constexpr uint32_t CommCtsOn = 0x10;
inline constexpr uint32_t CommDsrOn = 0x20;
inline constexpr uint32_t CommRingOn = 0x40;
inline constexpr uint32_t CommRlsdOn = 0x80;

// Time-outs in milliseconds, as the Windows COMMTIMEOUTS record; a zero total means "no limit".
struct CommTimeouts {
    uint32_t readIntervalTimeout = 0;
    uint32_t readTotalTimeoutMultiplier = 0;
    uint32_t readTotalTimeoutConstant = 0;
    uint32_t writeTotalTimeoutMultiplier = 0;
    uint32_t writeTotalTimeoutConstant = 0;
};
inline constexpr uint32_t CommMaxTimeout = 0xFFFFFFFF;

enum class CommParity : uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class CommStopBits : uint8_t { One = 0, OneAndHalf = 1, Two = 2 };

// The device-control record: the part of the Windows DCB that this program reads and sets.
struct CommState {
    uint32_t baudRate = 0;
    uint8_t byteSize = 0;
    CommParity parity = CommParity::None;
    CommStopBits stopBits = CommStopBits::One;
    bool outxCtsFlow = false; // hardware (RTS/CTS) flow control
    bool outxDsrFlow = false;
    bool outX = false; // XON/XOFF on output
    bool inX = false;  // XON/XOFF on input

    bool operator==(const CommState&) const = default;
};

// What ClearCommError reports besides the error flags.
struct CommStatus {
    uint32_t inQueue = 0;  // bytes received and not yet read
    uint32_t outQueue = 0; // bytes written and not yet sent
};

// The overlapped-I/O record, kept as zeroed storage large enough for the platform's own.
struct CommOverlapped {
    alignas(8) unsigned char storage[32] = {};
};

class CommApi {
public:
    virtual ~CommApi() = default;

    // Opens the device for reading and writing, exclusively; InvalidCommHandle on failure.
    virtual CommHandle CreateFile(const std::string& name) = 0;
    virtual bool SetupComm(CommHandle port, uint32_t inQueue, uint32_t outQueue) = 0;
    virtual bool PurgeComm(CommHandle port, uint32_t flags) = 0;
    virtual bool SetCommTimeouts(CommHandle port, const CommTimeouts& timeouts) = 0;
    virtual bool GetCommState(CommHandle port, CommState& state) = 0;
    // Applies a line-format text such as "baud=9600 parity=N data=8 stop=1" to state.
    virtual bool BuildCommDCB(const std::string& definition, CommState& state) = 0;
    virtual bool SetCommState(CommHandle port, const CommState& state) = 0;
    virtual bool ClearCommError(CommHandle port, uint32_t& errors, CommStatus& status) = 0;
    virtual bool ReadFile(CommHandle port, char* buffer, uint32_t toRead, uint32_t& read,
                          CommOverlapped& overlapped) = 0;
    virtual bool WriteFile(CommHandle port, const char* data, uint32_t toWrite, uint32_t& written,
                           CommOverlapped& overlapped) = 0;
    virtual bool GetOverlappedResult(CommHandle port, CommOverlapped& overlapped, uint32_t& transferred,
                                     bool wait) = 0;
    virtual bool EscapeCommFunction(CommHandle port, uint32_t function) = 0;
    virtual bool GetCommModemStatus(CommHandle port, uint32_t& status) = 0;
    virtual bool CloseHandle(CommHandle port) = 0;
    // Returns as soon as received bytes wait in the input queue, or after milliseconds; false (with
    // the last error set) when the port cannot be waited on: it is not open, or its line went away.
    virtual bool WaitForInput(CommHandle port, uint32_t milliseconds) = 0;
    // True when code, the last error of a call on an open port, means the line itself went away
    // (hung up, device unplugged): nothing more passes until the port is opened again.
    virtual bool IsLineGone(uint32_t code) = 0;
    // The monotonic clock that reply windows are measured on.
    virtual std::chrono::steady_clock::time_point MonotonicNow() { return std::chrono::steady_clock::now(); }
    // The code of this thread's last failed call.
    virtual uint32_t GetLastError() = 0;
    // The system's message for code into buffer; returns the characters stored, 0 when there is none.
    virtual uint32_t FormatMessage(uint32_t code, char* buffer, uint32_t size) = 0;
};

// The platform's CommApi, shared by every user; lives for the whole process.
CommApi& defaultCommApi();
