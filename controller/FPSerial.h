// FPSerial: one serial port, opened exclusively, failures recorded inside the object.
#pragma once

#include "controller/CommApi.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>

class FPSerial {
public:
    // api defaults to the platform's CommApi; pumpEvents runs pending window events (no-op by default).
    explicit FPSerial(CommApi* api = nullptr, std::function<void()> pumpEvents = {});

    int32_t OpenComm(int16_t ComPort, int32_t Speed = 9600, const std::string& Parity = "N");
    void CloseComm();
    void FlushComm();
    int32_t ReadComm(std::string& MyChar);
    void WriteComm(const std::string& s);
    void SETDTR(bool Flag);
    void SETRTS(bool Flag);
    int32_t OpenCommParallel(int16_t ComPort, int32_t Speed = 9600, const std::string& Parity = "N");

    // Waits until received characters are there to hand out, at most milliseconds; returns at once
    // when some are already pending or the line has gone away. A port that cannot be waited on for
    // another reason pauses the full time.
    void WaitForInput(int32_t milliseconds);

    // True once a call on the open port found that its line went away (hang-up, device unplugged);
    // cleared when the port is opened again.
    bool LineGone() const { return m_lineGone; }
    // The platform layer's monotonic clock.
    std::chrono::steady_clock::time_point MonotonicNow() { return m_api->MonotonicNow(); }

    void setPumpEvents(std::function<void()> pumpEvents);

    // The recorded error, for tests and diagnostics.
    int32_t CommErrorCode() const;
    const std::string& CommErrorSource() const;
    const std::string& CommErrorText() const;
    bool PortOpen() const;

    // The rest of the object's state, for tests and diagnostics.
    CommHandle PortHandle() const { return m_PortHandle; }
    const CommState& PortSettings() const { return m_PortSettings; }
    const std::string& PendingInput() const { return m_PendingInput; }

    // Sets text to "Error (code): source - message" and returns the recorded code.
    int32_t FormatCommError(std::string& text) const;

private:
    // Tests reach the routines the program itself never calls (CommSet, CommReadCD, CommSetLine).
    friend class FPSerialProbe;

    static constexpr uint32_t ReadBufferSize = 1024;
    static constexpr uint32_t QueueSize = 1024;

    int32_t CommOpen(const std::string& device, const std::string& lineFormat);
    int32_t CommSet(const std::string& lineFormat);
    int32_t CommClose();
    int32_t CommFlush();
    int32_t CommRead(std::string& text, int32_t requested);
    int32_t CommWrite(const std::string& text);
    int32_t CommReadCD(uint16_t lineMask, bool& lineOn);
    int32_t CommSetLine(uint16_t line, bool state);
    // code is the system's error code, taken right after the failing call; a code that says the
    // line went away marks the open port's line as gone.
    int32_t RecordCommError(const std::string& step, uint32_t code);
    int32_t RecordCommErrorWithFlags(const std::string& step, uint32_t code);
    std::string SystemErrorText(uint32_t code);

    int32_t openDevice(const std::string& prefix, int16_t number, int32_t speed, const std::string& parity);
    // Waits for an operation reported pending; false (with the wait's code) when the wait failed.
    bool waitPending(uint32_t& transferred, uint32_t& failure);
    int32_t recordUnexpected(const std::string& routine, const std::exception& failure);
    void pump(int times = 1);

    CommApi* m_api;
    std::function<void()> m_pumpEvents;

    CommOverlapped m_IoOverlap;
    int32_t m_CommErrorCode = 0;
    std::string m_CommErrorSource;
    std::string m_CommErrorText;
    CommHandle m_PortHandle = 0;
    bool m_PortOpen = false;
    CommState m_PortSettings;
    std::string m_PendingInput;
    bool m_lineGone = false;
};
