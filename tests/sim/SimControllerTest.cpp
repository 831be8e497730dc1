// The simulated controller's answers and its counters' countdown, on an injected clock.
#include "sim/SimController.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = SimController::Clock;

const Clock::time_point t0 = Clock::time_point{} + 1000h;

ControllerFrame request(const std::string& command, int32_t table, int32_t value = 0) {
    return ControllerFrame{command, table, value};
}

int32_t valueOf(const std::optional<ControllerFrame>& reply) {
    EXPECT_TRUE(reply.has_value());
    return reply ? reply->value : -999;
}

class SimControllerTest : public testing::Test {
protected:
    SimController controller{12, {3725, 250, 0, 4, 5, 6, 7, 8}, 1000ms, t0};
};

TEST_F(SimControllerTest, AnswersVersionAndCountersWithTheRequestsLetterAndTable) {
    const auto version = controller.answer(request("V", 0), t0);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->text(), "\x02V00;00012;\x03");
    const auto table2 = controller.answer(request("G", 2), t0);
    ASSERT_TRUE(table2);
    EXPECT_EQ(table2->text(), "\x02G02;00250;\x03");
}

TEST_F(SimControllerTest, CountersGoDownOncePerTickAndStopAtZero) {
    EXPECT_EQ(controller.counter(1, t0 + 999ms), 3725);
    EXPECT_EQ(controller.counter(1, t0 + 2500ms), 3723);
    EXPECT_EQ(controller.counter(4, t0 + 3s), 1);
    EXPECT_EQ(controller.counter(4, t0 + 10s), 0);
    EXPECT_EQ(controller.counter(3, t0 + 10s), 0);
}

TEST_F(SimControllerTest, ResetAndSetLoadTheCounterFromThatMoment) {
    EXPECT_EQ(valueOf(controller.answer(request("C", 3, 32000), t0 + 5s)), 32000);
    EXPECT_EQ(valueOf(controller.answer(request("G", 3), t0 + 65s)), 31940);
    EXPECT_EQ(valueOf(controller.answer(request("R", 1), t0 + 5s)), 0);
    EXPECT_EQ(valueOf(controller.answer(request("G", 1), t0 + 6s)), 0);
    EXPECT_EQ(valueOf(controller.answer(request("G", 2), t0 + 6s)), 244);
}

TEST_F(SimControllerTest, TablesOutsideOneToEightAnswerZeroAndChangeNothing) {
    for (int32_t table : {0, 9, 99}) {
        EXPECT_EQ(valueOf(controller.answer(request("C", table, 500), t0)), 0);
        EXPECT_EQ(valueOf(controller.answer(request("G", table), t0)), 0);
    }
    for (int32_t table = 1; table <= 8; ++table)
        EXPECT_EQ(controller.counter(table, t0),
                  (std::array<int32_t, 8>{3725, 250, 0, 4, 5, 6, 7, 8})[table - 1]);
}

TEST_F(SimControllerTest, UnknownCommandsGetNoReply) {
    EXPECT_FALSE(controller.answer(request("X", 1), t0));
    EXPECT_FALSE(controller.answer(request("g", 1), t0));
}

TEST(SimControllerStill, TickZeroKeepsCountersStill) {
    SimController controller{1, {100}, 0ms, t0};
    EXPECT_EQ(controller.counter(1, t0 + 1000h), 100);
}

} // namespace
