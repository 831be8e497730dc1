// Fuzz target: the reply path (SendFrame, then ReadReply) over the fake CommApi, with any bytes
// arriving in any pattern on the fake's clock. The value returned is the one the 12 characters from
// the first STX carry when the twelfth arrives within the try's window, else -1.
#include "controller/Billiard.h"
#include "controller/ControllerFrame.h"
#include "controller/FPSerial.h"
#include "fuzz/FuzzCheck.h"

#include "tests/controller/FakeCommApi.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using std::chrono::milliseconds;

// The window of one try, from its frame's send; a reply completing this close to its end may go
// either way.
constexpr milliseconds kWindow{1100};
constexpr milliseconds kEdge{10};

struct Arrival {
    char byte;
    milliseconds at;
};

// Pieces of bytes, each after a pause and at a pace of its own (all at once, or so many a millisecond);
// a piece starts after the previous one has ended, so the bytes arrive in the order they are drawn.
std::vector<Arrival> feedLine(FuzzedDataProvider& input, FakeCommApi& api) {
    std::vector<Arrival> line;
    milliseconds next{1}; // after the request frame has gone out at 0
    const int pieces = input.ConsumeIntegralInRange(0, 8);
    for (int p = 0; p < pieces && input.remaining_bytes() > 0; ++p) {
        next += milliseconds(input.ConsumeIntegralInRange(0, 700));
        const std::size_t pace = input.ConsumeIntegralInRange<std::size_t>(0, 12);
        std::string bytes = input.ConsumeRandomLengthString(2000);
        if (input.ConsumeBool())
            bytes += ControllerFrame{"G", input.ConsumeIntegral<uint8_t>(), input.ConsumeIntegral<uint16_t>()}
                         .text();
        if (bytes.empty())
            continue;
        api.feedLater(next, bytes, pace);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            line.push_back({bytes[i], next + milliseconds(pace == 0 ? 0 : i / pace)});
        next = line.back().at + milliseconds(1);
    }
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FakeCommApi api;
    ControllerSerial() = FPSerial(&api);
    fuzzCheck(ControllerSerial().OpenComm(3, 115200) == 0, "the fake port opens");
    const bool portClosed = input.ConsumeIntegralInRange(0, 15) == 0;

    SendFrame(3, "G", 0);
    const std::vector<Arrival> line = feedLine(input, api);
    if (portClosed)
        ControllerSerial().CloseComm();
    const auto sent = api.MonotonicNow();
    const int32_t value = ReadReply();
    const auto waited = std::chrono::duration_cast<milliseconds>(api.MonotonicNow() - sent);
    ControllerSerial() = FPSerial();

    if (portClosed) {
        fuzzCheck(value == -1 && waited == milliseconds(0), "a port that is not open gives -1 at once");
        return 0;
    }
    std::size_t stx = 0;
    while (stx < line.size() && line[stx].byte != ControllerFrame::STX)
        ++stx;
    if (stx + ControllerFrame::Length > line.size() ||
        line[stx + ControllerFrame::Length - 1].at > kWindow + kEdge) {
        fuzzCheck(value == -1, "without a whole frame from the first STX within the window, -1");
        fuzzCheck(waited >= kWindow && waited <= kWindow + kEdge,
                  "a try without a reply waits its whole window");
        return 0;
    }
    std::string frame;
    for (std::size_t i = stx; i < stx + ControllerFrame::Length; ++i)
        frame += line[i].byte;
    const milliseconds complete = line[stx + ControllerFrame::Length - 1].at;
    if (complete < kWindow - kEdge) {
        fuzzCheck(value == ReadFrameValue(frame),
                  "the value is the one the 12 characters from the first STX carry");
        fuzzCheck(waited == complete, "the reply is taken the moment its twelfth character is in");
    } else {
        fuzzCheck(value == -1 || value == ReadFrameValue(frame),
                  "at the window's edge: the frame's value or -1");
    }
    return 0;
}
