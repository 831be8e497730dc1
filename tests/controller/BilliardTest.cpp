// The controller protocol against the simulated table controller on a pseudo-terminal.
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/FPSerial.h"
#include "tests/support/SimulatedPorts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPort = 3;
const std::array<int32_t, 8> kCounters{11, 22, 125, 44, 55, 66, 77, 88};

std::string framed(const std::string& inner) {
    return "\x02" + inner + "\x03";
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class BilliardOnTheLine : public testing::Test {
protected:
    void TearDown() override {
        CloseControllerPort();
        ControllerSerial().setPumpEvents({});
        ControllerPort = 0;
    }

    // Starts the controller on COM3 and opens the port as a flow does.
    void connect(SimOptions options = SimulatedPorts::still()) {
        options.counters = kCounters;
        options.version = 7;
        ports.add(kPort, options);
        ControllerPort = kPort;
        ASSERT_TRUE(OpenControllerPort());
    }

    SimulatedPorts ports;
};

struct CommandCase {
    const char* name;
    std::function<int32_t()> command;
    std::string frame;
    int32_t result;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class BilliardCommand : public BilliardOnTheLine, public testing::WithParamInterface<CommandCase> {};

TEST_P(BilliardCommand, SendsTheExactFrameAndReturnsTheValue) {
    connect();
    EXPECT_EQ(GetParam().command(), GetParam().result);
    EXPECT_EQ(ports.frames(kPort), std::vector<std::string>{GetParam().frame});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, BilliardCommand,
    testing::Values(
        CommandCase{"GetTable3", [] { return GetTableCounter(3); }, framed("G03;00000;"), 125},
        CommandCase{"Version", [] { return GetControllerVersion(); }, framed("V00;00000;"), 7},
        CommandCase{"SetTable2", [] { return SetTableCounter(2, 32000); }, framed("C02;32000;"), 32000},
        CommandCase{"ResetTable8", [] { return ResetTableCounter(8); }, framed("R08;00000;"), 0},
        CommandCase{"TableBelowRange", [] { return Transact(-5, "G", -1); }, framed("G00;00000;"), 0},
        CommandCase{"TableAndValueAboveRange", [] { return Transact(150, "C", 100000); },
                    framed("C99;99999;"), 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct ReplyCase {
    const char* name;
    std::function<void(SimOptions&)> fault;
    int32_t value;
    std::size_t frames;
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class BilliardReply : public BilliardOnTheLine, public testing::WithParamInterface<ReplyCase> {};

TEST_P(BilliardReply, TakesTheValueOfTheTwelveCharactersFromSTX) {
    SimOptions options = SimulatedPorts::still();
    GetParam().fault(options);
    connect(options);
    EXPECT_EQ(GetTableCounter(3), GetParam().value);
    const std::vector<std::string> frames = ports.frames(kPort);
    EXPECT_EQ(frames.size(), GetParam().frames);
    for (const std::string& frame : frames)
        EXPECT_EQ(frame, framed("G03;00000;"));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, BilliardReply,
    testing::Values(ReplyCase{"Clean", [](SimOptions&) {}, 125, 1},
                    ReplyCase{"TwoStrayBytes", [](SimOptions& o) { o.noise = 2; }, 125, 1},
                    ReplyCase{"InPieces", [](SimOptions& o) { o.split = true; }, 125, 1},
                    ReplyCase{"LateButInTime", [](SimOptions& o) { o.replyDelayMs = 400; }, 125, 1},
                    ReplyCase{"NineTenthsOfASecondLate", [](SimOptions& o) { o.replyDelayMs = 900; }, 125, 1},
                    ReplyCase{"ElevenHundredStrayBytes", [](SimOptions& o) { o.noise = 1100; }, 125, 1},
                    // 53 pieces, 15 ms apart.
                    ReplyCase{"StrayBytesInPieces",
                              [](SimOptions& o) {
                                  o.noise = 200;
                                  o.split = true;
                              },
                              125, 1},
                    ReplyCase{"LettersInValue", [](SimOptions& o) { o.badValue = true; }, 0, 1},
                    ReplyCase{"AnswerOnSecondTry", [](SimOptions& o) { o.ignoreFirst = 1; }, 125, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BilliardOnTheLine, ShortReplyIsNoReplyOnceItsWindowHasPassed) {
    SimOptions options = SimulatedPorts::still();
    options.shortReply = true;
    connect(options);

    SendFrame(3, "G", 0);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(ReadReply(), -1);
    const double seconds = secondsSince(start);
    EXPECT_GE(seconds, 1.0);
    EXPECT_LE(seconds, 2.0);

    EXPECT_EQ(GetTableCounter(3), -1);
    EXPECT_EQ(ports.frames(kPort).size(), 1u + 3u);
}

TEST_F(BilliardOnTheLine, SilentControllerCostsThreeFramesAndAboutThreeSeconds) {
    SimOptions options = SimulatedPorts::still();
    options.silent = true;
    connect(options);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(GetTableCounter(3), -1);
    const double seconds = secondsSince(start);
    EXPECT_GE(seconds, 3.0);
    EXPECT_LE(seconds, 4.5);
    EXPECT_EQ(ports.frames(kPort), std::vector<std::string>(3, framed("G03;00000;")));
}

// Stray bytes before every reply, arriving one by one at the line's speed: each table's reply is
// taken within its own window, so no late reply is left on the line for the next table.
class BilliardStrayBytes : public BilliardOnTheLine, public testing::WithParamInterface<int32_t> {};

TEST_P(BilliardStrayBytes, EveryTableGetsItsOwnReading) {
    SimOptions options = SimulatedPorts::still();
    options.noise = GetParam();
    connect(options);
    for (int32_t table = 1; table <= 8; ++table)
        EXPECT_EQ(GetTableCounter(table), kCounters[table - 1]) << "table " << table;
    EXPECT_EQ(ports.frames(kPort).size(), 8u);
}

INSTANTIATE_TEST_SUITE_P(Amounts, BilliardStrayBytes, testing::Values(0, 120, 1000),
                         [](const auto& info) { return std::to_string(info.param) + "StrayBytes"; });

TEST_F(BilliardOnTheLine, CommandsWithoutAControllerPortGiveMinusOne) {
    ports.add(kPort);
    ControllerPort = 0;
    EXPECT_FALSE(OpenControllerPort());
    EXPECT_EQ(GetTableCounter(3), -1);
    EXPECT_FALSE(ControllerSerial().PortOpen());
    EXPECT_TRUE(ports.frames(kPort).empty());
}

} // namespace
