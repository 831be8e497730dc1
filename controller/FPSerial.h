// FPSerial: one serial port, opened exclusively, failures recorded inside the object.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CommApi;

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

    void setPumpEvents(std::function<void()> pumpEvents);

    // The recorded error, for tests and diagnostics.
    int32_t CommErrorCode() const;
    const std::string& CommErrorSource() const;
    const std::string& CommErrorText() const;
    bool PortOpen() const;

    // (private routines and members follow, see the implementation issue)
};
