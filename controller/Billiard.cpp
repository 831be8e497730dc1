#include "controller/Billiard.h"

#include "controller/ControllerFrame.h"
#include "controller/FPSerial.h"

#include <algorithm>
#include <chrono>

namespace {

using namespace std::chrono_literals;

// A try waits this long for its reply, from the moment its frame went out.
constexpr std::chrono::milliseconds kReplyWindow = 1100ms;
// The longest single wait, so that window events keep running while a reply is awaited.
constexpr std::chrono::milliseconds kPause = 10ms;
constexpr int kTries = 3;

// When the latest request frame went out; its reply window is measured from here.
std::chrono::steady_clock::time_point frameSentAt;

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
    frameSentAt = serial.MonotonicNow();
    serial.WriteComm(frame);
}

int32_t ReadReply() {
    FPSerial& serial = ControllerSerial();
    // Through a port that is not open, or whose line went away, no reply can come.
    if (!serial.PortOpen() || serial.LineGone())
        return -1;
    const auto windowEnd = frameSentAt + kReplyWindow;
    std::string collected;
    for (;;) {
        std::string received;
        serial.ReadComm(received);
        collected += received;
        if (collected.size() == ControllerFrame::Length) {
            serial.FlushComm();
            return ReadFrameValue(collected);
        }
        if (collected.size() > 1 && collected.front() != ControllerFrame::STX)
            collected.erase(0, 1);
        // Characters already received are taken before the time is looked at; only a wait can end
        // the window, so stray bytes, however they trickle in, never use it up.
        if (!received.empty())
            continue;
        const auto left = windowEnd - serial.MonotonicNow();
        if (left <= 0ms || serial.LineGone())
            return -1;
        const auto pause =
            std::chrono::ceil<std::chrono::milliseconds>(std::min<decltype(left)>(left, kPause));
        serial.WaitForInput(static_cast<int32_t>(pause.count()));
    }
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
