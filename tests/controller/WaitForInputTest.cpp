// The reply wait's pause: it ends when input arrives instead of sleeping its whole time.
#include "controller/FPSerial.h"
#include "tests/controller/FakeCommApi.h"
#include "tests/support/SimulatedPorts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(WaitForInput, AsksThePlatformOnlyWhenNothingIsPending) {
    FakeCommApi api;
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(1), 0);
    serial.WaitForInput(10);
    EXPECT_EQ(api.count("WaitForInput"), 1);

    api.feedReceived("ab");
    std::string c;
    serial.ReadComm(c); // "a" handed out, "b" pending
    api.clearCalls();
    serial.WaitForInput(10);
    EXPECT_EQ(api.count("WaitForInput"), 0);
}

TEST(WaitForInput, PortThatCannotBeWaitedOnPausesTheWholeTime) {
    FakeCommApi api;
    FPSerial serial(&api);
    const Clock::time_point start = Clock::now();
    serial.WaitForInput(30);
    EXPECT_GE(Clock::now() - start, 30ms);
    EXPECT_EQ(serial.CommErrorCode(), 0);
}

class WaitOnTheLine : public testing::Test {
protected:
    void SetUp() override {
        SimOptions options = SimulatedPorts::still();
        options.baud = 0;
        options.replyDelayMs = 150;
        ports.add(1, options);
        ASSERT_EQ(serial.OpenComm(1, 115200), 0);
    }
    SimulatedPorts ports;
    FPSerial serial;
};

TEST_F(WaitOnTheLine, ReturnsWhenTheFirstByteArrives) {
    serial.WriteComm("\x02V00;00000;\x03");
    const Clock::time_point start = Clock::now();
    serial.WaitForInput(5000);
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 100ms);
    EXPECT_LT(waited, 4000ms);
    std::string c;
    serial.ReadComm(c);
    EXPECT_EQ(c, "\x02");
    serial.CloseComm();
}

TEST_F(WaitOnTheLine, WaitsItsTimeWhenNothingComes) {
    const Clock::time_point start = Clock::now();
    serial.WaitForInput(50);
    EXPECT_GE(Clock::now() - start, 45ms);
    std::string c;
    serial.ReadComm(c);
    EXPECT_EQ(c, "");
    serial.CloseComm();
}

} // namespace
