// The simulator on its pseudo-terminal: replies, line timing, injected faults, the log, the link.
#include "sim/SimulatorCore.h"
#include "tests/sim/RawPort.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string framed(const std::string& inner) {
    return "\x02" + inner + "\x03";
}

class Simulator : public testing::Test {
protected:
    // A running simulator published at <temp>/COM1, table 3 holding 125, counters still.
    SimulatorCore& start(std::function<void(SimOptions&)> adjust = {}) {
        SimOptions options;
        options.link = link();
        options.tickMs = 0;
        options.counters = {1, 2, 125, 4, 5, 6, 7, 8};
        options.version = 12;
        if (adjust)
            adjust(options);
        m_simulator = std::make_unique<SimulatorCore>(options);
        m_simulator->start();
        return *m_simulator;
    }

    std::string link() const { return folder.file("COM1"); }

    TempFolder folder;
    std::unique_ptr<SimulatorCore> m_simulator;
};

TEST_F(Simulator, AnswersEachCommandWithTwelveCharacters) {
    start();
    RawPort port(link());
    port.send(framed("V00;00000;"));
    EXPECT_EQ(port.receive(12, 1s), framed("V00;00012;"));
    port.send(framed("G03;00000;"));
    EXPECT_EQ(port.receive(12, 1s), framed("G03;00125;"));
    port.send(framed("C03;32000;"));
    EXPECT_EQ(port.receive(12, 1s), framed("C03;32000;"));
    port.send(framed("R03;00000;"));
    EXPECT_EQ(port.receive(12, 1s), framed("R03;00000;"));
}

TEST_F(Simulator, SkipsStrayBytesBeforeAFrameAndLeavesMalformedFramesUnanswered) {
    SimulatorCore& simulator = start();
    RawPort port(link());
    port.send("junk" + framed("G03;0000x;"));
    EXPECT_EQ(port.receive(12, 300ms), "");
    port.send(framed("G03;00000;"));
    EXPECT_EQ(port.receive(12, 1s), framed("G03;00125;"));
    const auto frames = simulator.receivedFrames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_FALSE(frames[0].wellFormed);
    EXPECT_TRUE(frames[1].wellFormed);
}

TEST_F(Simulator, SurvivesThePortBeingOpenedAndClosedAgainAndAgain) {
    start();
    for (int round = 0; round < 40; ++round) {
        RawPort port(link());
        port.send(framed("G03;00000;"));
        ASSERT_EQ(port.receive(12, 1s), framed("G03;00125;")) << "round " << round;
    }
}

struct FaultCase {
    const char* name;
    std::function<void(SimOptions&)> fault;
    std::string reply; // for table 3's "G"
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class SimulatorFault : public Simulator, public testing::WithParamInterface<FaultCase> {};

TEST_P(SimulatorFault, ShapesTheReply) {
    start(GetParam().fault);
    RawPort port(link());
    port.send(framed("G03;00000;"));
    // Asks for more than can come, so anything extra would show.
    EXPECT_EQ(port.receive(GetParam().reply.size() + 1, 400ms), GetParam().reply);
}

// The same faults switched on while the simulator serves, then off again.
TEST_P(SimulatorFault, SwitchedOnAndOffWhileServing) {
    SimulatorCore& simulator = start();
    RawPort port(link());
    SimOptions faults = simulator.faults();
    GetParam().fault(faults);
    simulator.setFaults(faults);
    port.send(framed("G03;00000;"));
    EXPECT_EQ(port.receive(GetParam().reply.size() + 1, 400ms), GetParam().reply);
    port.receive(1, 100ms); // the last byte of a short reply, if any
    SimOptions clean;
    clean.baud = faults.baud;
    simulator.setFaults(clean);
    port.send(framed("G03;00000;"));
    EXPECT_EQ(port.receive(13, 400ms), framed("G03;00125;"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SimulatorFault,
    testing::Values(
        FaultCase{"Silent", [](SimOptions& o) { o.silent = true; }, ""},
        FaultCase{"SilentTable", [](SimOptions& o) { o.silentTables = {3}; }, ""},
        FaultCase{"OtherTableSilent", [](SimOptions& o) { o.silentTables = {4}; }, framed("G03;00125;")},
        FaultCase{"Noise", [](SimOptions& o) { o.noise = 5; }, "#\x03\xff~#" + framed("G03;00125;")},
        FaultCase{"Short", [](SimOptions& o) { o.shortReply = true; }, "\x02G03;00125;"},
        FaultCase{"BadValue", [](SimOptions& o) { o.badValue = true; }, framed("G03;00abc;")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Simulator, IgnoreFirstLeavesExactlyThatManyFramesUnanswered) {
    start([](SimOptions& o) { o.ignoreFirst = 2; });
    RawPort port(link());
    for (int i = 0; i < 2; ++i) {
        port.send(framed("V00;00000;"));
        EXPECT_EQ(port.receive(12, 200ms), "");
    }
    port.send(framed("V00;00000;"));
    EXPECT_EQ(port.receive(12, 1s), framed("V00;00012;"));
}

TEST_F(Simulator, IgnoreFirstSwitchedOnCountsFromThen) {
    SimulatorCore& simulator = start();
    RawPort port(link());
    port.send(framed("V00;00000;"));
    EXPECT_EQ(port.receive(12, 1s), framed("V00;00012;"));
    SimOptions faults;
    faults.ignoreFirst = 1;
    simulator.setFaults(faults);
    port.send(framed("V00;00000;"));
    EXPECT_EQ(port.receive(12, 200ms), "");
    port.send(framed("V00;00000;"));
    EXPECT_EQ(port.receive(12, 1s), framed("V00;00012;"));
}

TEST_F(Simulator, ReplyDelayHoldsTheReplyBack) {
    start([](SimOptions& o) { o.replyDelayMs = 300; });
    RawPort port(link());
    const Clock::time_point sent = Clock::now();
    port.send(framed("V00;00000;"));
    EXPECT_EQ(port.receive(12, 2s), framed("V00;00012;"));
    EXPECT_GE(Clock::now() - sent, 300ms);
}

TEST_F(Simulator, SplitSendsPiecesWithGaps) {
    start([](SimOptions& o) {
        o.split = true;
        o.baud = 0;
    });
    RawPort port(link());
    port.send(framed("V00;00000;"));
    EXPECT_EQ(port.receive(4, 1s), "\x02V00");
    const Clock::time_point firstPiece = Clock::now();
    EXPECT_EQ(port.receive(8, 1s), ";00012;\x03");
    // Two gaps of 15 ms after the first piece; a reply sent whole would be in at once.
    EXPECT_GE(Clock::now() - firstPiece, 25ms);
}

TEST_F(Simulator, LineTimingCountsTenBitsPerByteBothWays) {
    start([](SimOptions& o) { o.baud = 1200; });
    RawPort port(link());
    const Clock::time_point sent = Clock::now();
    port.send(framed("V00;00000;"));
    EXPECT_EQ(port.receive(12, 3s), framed("V00;00012;"));
    // 24 bytes of 10 bits at 1200 baud.
    EXPECT_GE(Clock::now() - sent, 195ms);
}

TEST_F(Simulator, LogHasOneTimestampedLinePerFrame) {
    const std::string logPath = folder.file("sim.log");
    start([&](SimOptions& o) { o.logPath = logPath; });
    RawPort port(link());
    const double before = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
    port.send(framed("G03;00000;"));
    port.receive(12, 1s);
    port.send(framed("C02;32000;") + framed("G03;0000x;"));
    port.receive(12, 1s);
    std::this_thread::sleep_for(50ms);
    const double after = std::chrono::duration<double>(Clock::now().time_since_epoch()).count();

    std::ifstream log(logPath);
    std::vector<std::pair<double, std::string>> lines;
    double stamp = 0;
    std::string rest;
    while (log >> stamp && std::getline(log, rest))
        lines.emplace_back(stamp, rest);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].second, " <STX>G03;00000;<ETX>");
    EXPECT_EQ(lines[1].second, " <STX>C02;32000;<ETX>");
    EXPECT_EQ(lines[2].second, " <STX>G03;0000x;<ETX> invalid");
    EXPECT_GE(lines[0].first, before);
    EXPECT_LE(lines[0].first, lines[1].first);
    EXPECT_LE(lines[2].first, after);
}

TEST_F(Simulator, LinkIsReplacedOnStartAndRemovedAtTheEnd) {
    std::filesystem::create_symlink("/nonexistent/tty", link());
    std::string slave;
    {
        SimulatorCore& simulator = start();
        slave = simulator.slavePath();
        EXPECT_EQ(std::filesystem::read_symlink(link()), slave);
        m_simulator.reset();
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link())));
}

} // namespace
