// The reply wait on the fake's clock: a window of time per try, whatever the arrival pattern.
#include "controller/Billiard.h"
#include "controller/FPSerial.h"

#include "tests/controller/FakeCommApi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

const std::string kReply = "\x02G03;00125;\x03";

std::string strayBytes(std::size_t count) {
    return std::string(count, '#');
}

// ControllerSerial over the fake for one test; the fake's clock starts at 0 with the port open.
class ReplyWindow : public testing::Test {
protected:
    void SetUp() override {
        ControllerSerial() = FPSerial(&api);
        ASSERT_EQ(ControllerSerial().OpenComm(3, 115200), 0);
        api.clearCalls();
    }
    void TearDown() override { ControllerSerial() = FPSerial(); }

    milliseconds elapsed() {
        return std::chrono::duration_cast<milliseconds>(api.MonotonicNow() -
                                                        FakeCommApi::Clock::time_point{});
    }

    FakeCommApi api;
};

struct WindowCase {
    const char* name;
    std::function<void(FakeCommApi&)> line; // what arrives, on the fake's clock
    int32_t value;
    int frames;
    milliseconds earliest; // when the command returns, at the earliest and the latest
    milliseconds latest;
};

void PrintTo(const WindowCase& c, std::ostream* os) {
    *os << c.name;
}

class ReplyWindowCase : public ReplyWindow, public testing::WithParamInterface<WindowCase> {};

TEST_P(ReplyWindowCase, TakesTheReplyWithinEachTrysWindow) {
    GetParam().line(api);
    EXPECT_EQ(GetTableCounter(3), GetParam().value);
    EXPECT_EQ(api.count("WriteFile"), GetParam().frames);
    EXPECT_GE(elapsed(), GetParam().earliest);
    EXPECT_LE(elapsed(), GetParam().latest);
}

// About 11 bytes a millisecond is the line's speed at 115200 baud.
INSTANTIATE_TEST_SUITE_P(
    Arrivals, ReplyWindowCase,
    testing::Values(WindowCase{"AtOnce", [](FakeCommApi& a) { a.feedLater(2ms, kReply); }, 125, 1, 2ms, 2ms},
                    WindowCase{"TwelfthByteEndsTheWait", [](FakeCommApi& a) { a.feedLater(5ms, kReply, 1); },
                               125, 1, 16ms, 16ms},
                    WindowCase{"ElevenHundredStrayBytesAtLineSpeed",
                               [](FakeCommApi& a) { a.feedLater(1ms, strayBytes(1100) + kReply, 11); }, 125,
                               1, 100ms, 102ms},
                    WindowCase{"TenThousandStrayBytesAtLineSpeed",
                               [](FakeCommApi& a) { a.feedLater(1ms, strayBytes(10000) + kReply, 11); }, 125,
                               1, 900ms, 1000ms},
                    WindowCase{"StartsAfterOnePointZeroFiveSeconds",
                               [](FakeCommApi& a) { a.feedLater(1050ms, kReply); }, 125, 1, 1050ms, 1050ms},
                    WindowCase{"AfterTheFirstWindowComesInTheSecond",
                               [](FakeCommApi& a) { a.feedLater(1150ms, kReply); }, 125, 2, 1150ms, 1150ms},
                    WindowCase{"Silent", [](FakeCommApi&) {}, -1, 3, 3000ms, 4500ms},
                    WindowCase{"ElevenCharacters",
                               [](FakeCommApi& a) { a.feedLater(2ms, kReply.substr(0, 11)); }, -1, 3, 3000ms,
                               4500ms},
                    WindowCase{"EndlessStrayBytesDoNotStretchTheWindow",
                               [](FakeCommApi& a) { a.feedLater(1ms, strayBytes(60000), 11); }, -1, 3, 3000ms,
                               4500ms}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReplyWindow, PortThatIsNotOpenFailsEveryTryWithoutWaiting) {
    ControllerSerial().CloseComm();
    api.injectFailure("CreateFile", 2);
    ASSERT_NE(ControllerSerial().OpenComm(3, 115200), 0);
    api.clearCalls();

    EXPECT_EQ(GetTableCounter(3), -1);
    EXPECT_EQ(api.count("WriteFile"), 3);
    EXPECT_EQ(api.count("WaitForInput"), 0);
    EXPECT_EQ(elapsed(), 0ms);
    EXPECT_EQ(ControllerSerial().CommErrorSource(), "CommWrite (WriteFile)");
}

TEST_F(ReplyWindow, LineThatWentAwayFailsTheRestWithoutWaitingUntilTheNextOpen) {
    api.injectFailure("ClearCommError", FakeCommApi::LineGoneCode);
    EXPECT_EQ(GetTableCounter(3), -1);
    EXPECT_EQ(GetTableCounter(4), -1);
    EXPECT_EQ(api.count("WriteFile"), 6);
    EXPECT_EQ(api.count("WaitForInput"), 0);
    EXPECT_EQ(elapsed(), 0ms);

    ControllerSerial().CloseComm();
    ASSERT_EQ(ControllerSerial().OpenComm(3, 115200), 0);
    api.feedLater(3ms, kReply);
    EXPECT_EQ(GetTableCounter(3), 125);
}

TEST_F(ReplyWindow, WaitsInShortSlicesSoWindowEventsKeepRunning) {
    SendFrame(3, "G", 0);
    api.clearCalls();
    EXPECT_EQ(ReadReply(), -1);
    for (const std::string& call : api.calls()) {
        if (call.rfind("WaitForInput", 0) == 0) {
            EXPECT_LE(std::stoi(call.substr(call.find(' ') + 1)), 10) << call;
        }
    }
    EXPECT_EQ(elapsed(), 1100ms);
}

} // namespace
