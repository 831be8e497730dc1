#include "Billiard.h"

#include "ControllerFrame.h"
#include "FPSerial.h"

namespace {

constexpr int kPollsPerReply = 1100;
constexpr int kPollsPerPause = 10;
constexpr int32_t kPauseMs = 10;
constexpr int kTries = 3;

} // namespace

FPSerial& ControllerSerial() {
    // Never destroyed: flows may still run from other static destructors at exit.
    static FPSerial* serial = new FPSerial();
    return *serial;
}

void SendFrame(int32_t table, const std::string& command, int32_t value) {
    const std::string frame = ControllerFrame{command, table, value}.text();
    FPSerial& serial = ControllerSerial();
    serial.FlushComm();
    serial.WriteComm(frame);
}

int32_t ReadReply() {
    FPSerial& serial = ControllerSerial();
    std::string collected;
    for (int polls = 0; polls < kPollsPerReply;) {
        std::string received;
        serial.ReadComm(received);
        collected += received;
        if (collected.size() == ControllerFrame::Length) {
            serial.FlushComm();
            return ReadFrameValue(collected);
        }
        if (collected.size() > 1 && collected.front() != ControllerFrame::STX)
            collected.erase(0, 1);
        ++polls;
        // Returns as soon as input arrives, so a reply is taken when it is on the line.
        if (polls % kPollsPerPause == 0)
            serial.WaitForInput(kPauseMs);
    }
    return -1;
}

int32_t Transact(int32_t table, const std::string& command, int32_t value) {
    int32_t result = -1;
    for (int tries = 0; tries < kTries; ++tries) {
        SendFrame(table, command, value);
        result = ReadReply();
        if (result != -1)
            break;
    }
    return result;
}

int32_t GetControllerVersion() {
    return Transact(0, "V", 0);
}

int32_t ResetTableCounter(int32_t table) {
    return Transact(table, "R", 0);
}

int32_t SetTableCounter(int32_t table, int32_t value) {
    return Transact(table, "C", value);
}

int32_t GetTableCounter(int32_t table) {
    return Transact(table, "G", 0);
}

void CloseControllerPort() {
    ControllerSerial().CloseComm();
}
