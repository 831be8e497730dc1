// One controller flow at a time: requests made while a flow runs wait for it, refreshes coalesce.
#include "controller/ControllerFlows.h"
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/FPSerial.h"
#include "tests/support/SimulatedPorts.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Kind = ControllerFlows::Kind;

class Flows : public testing::Test {
protected:
    // A flow that logs its start and end and runs `inside` in between, as pumped events would.
    std::function<void()> flow(const std::string& name, std::function<void()> inside = {}) {
        return [this, name, inside] {
            log.push_back(name + "+");
            EXPECT_TRUE(flows.busy());
            if (inside)
                inside();
            log.push_back(name + "-");
        };
    }

    ControllerFlows flows;
    std::vector<std::string> log;
};

TEST_F(Flows, RunsAtOnceWhenIdle) {
    EXPECT_TRUE(flows.request(flow("a")));
    EXPECT_EQ(log, (std::vector<std::string>{"a+", "a-"}));
    EXPECT_FALSE(flows.busy());
    EXPECT_EQ(flows.pending(), 0u);
}

TEST_F(Flows, NestedRequestRunsAfterTheCurrentFlow) {
    bool ranInside = true;
    flows.request(flow("a", [&] {
        ranInside = flows.request(flow("b"));
        EXPECT_EQ(flows.pending(), 1u);
    }));
    EXPECT_FALSE(ranInside);
    EXPECT_EQ(log, (std::vector<std::string>{"a+", "a-", "b+", "b-"}));
}

TEST_F(Flows, CommandsKeepTheirOrder) {
    flows.request(flow("a", [&] {
        flows.request(flow("c1"));
        flows.request(flow("c2"));
        flows.request(flow("c3"));
    }));
    EXPECT_EQ(log, (std::vector<std::string>{"a+", "a-", "c1+", "c1-", "c2+", "c2-", "c3+", "c3-"}));
}

TEST_F(Flows, RefreshesCoalesceIntoOne) {
    flows.request(flow("a", [&] {
        for (int i = 0; i < 5; ++i)
            flows.request(flow("r" + std::to_string(i)), Kind::Refresh);
        EXPECT_EQ(flows.pending(), 1u);
    }));
    EXPECT_EQ(log, (std::vector<std::string>{"a+", "a-", "r4+", "r4-"}));
}

TEST_F(Flows, CoalescedRefreshFollowsEveryCommandBeforeTheLatestRequest) {
    flows.request(flow("a", [&] {
        flows.request(flow("r1"), Kind::Refresh);
        flows.request(flow("c1"));
        flows.request(flow("r2"), Kind::Refresh);
        flows.request(flow("c2"));
    }));
    EXPECT_EQ(log, (std::vector<std::string>{"a+", "a-", "c1+", "c1-", "r2+", "r2-", "c2+", "c2-"}));
}

TEST_F(Flows, RefreshRequestedDuringARefreshRunsAgainAfterIt) {
    flows.request(flow("r1", [&] { flows.request(flow("r2"), Kind::Refresh); }), Kind::Refresh);
    EXPECT_EQ(log, (std::vector<std::string>{"r1+", "r1-", "r2+", "r2-"}));
}

TEST_F(Flows, RequestsFromQueuedFlowsAreServedToo) {
    flows.request(flow("a", [&] { flows.request(flow("b", [&] { flows.request(flow("c")); })); }));
    EXPECT_EQ(log, (std::vector<std::string>{"a+", "a-", "b+", "b-", "c+", "c-"}));
}

TEST_F(Flows, AFlowThatThrowsDoesNotBlockLaterFlows) {
    EXPECT_THROW(flows.request([] { throw std::runtime_error("broken"); }), std::runtime_error);
    EXPECT_FALSE(flows.busy());
    EXPECT_TRUE(flows.request(flow("b")));
    EXPECT_EQ(log, (std::vector<std::string>{"b+", "b-"}));
}

// On the line: the serial layer runs window events in the middle of an exchange; a flow asked
// for from there must not touch the port until the running flow has closed it.
TEST(FlowsOnTheLine, RequestFromPumpedEventsWaitsForThePortToBeClosed) {
    SimulatedPorts ports;
    SimOptions options = SimulatedPorts::still();
    options.counters = {11, 22, 33, 44, 55, 66, 77, 88};
    ports.add(3, options);
    ControllerPort = 3;

    ControllerFlows flows;
    std::vector<std::string> log;
    const auto readTable = [&](int32_t table) {
        return [&, table] {
            log.push_back(OpenControllerPort() ? "open" : "open failed");
            log.push_back(std::to_string(GetTableCounter(table)));
            CloseControllerPort();
            log.push_back("close");
        };
    };
    int pumped = 0;
    ControllerSerial().setPumpEvents([&] {
        // Some event handlers of the window, arriving while table 1 is being read.
        if (++pumped != 3)
            return;
        flows.request(readTable(7));
        flows.request(readTable(5), Kind::Refresh);
        flows.request(readTable(6), Kind::Refresh);
        flows.request(readTable(2));
    });
    flows.request(readTable(1), Kind::Refresh);
    ControllerSerial().setPumpEvents({});
    ControllerPort = 0;

    EXPECT_GE(pumped, 3);
    EXPECT_EQ(log, (std::vector<std::string>{"open", "11", "close", "open", "77", "close", "open", "66",
                                             "close", "open", "22", "close"}));
    const std::vector<std::string> frames = ports.frames(3);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0].substr(1, 3), "G01");
    EXPECT_EQ(frames[1].substr(1, 3), "G07");
    EXPECT_EQ(frames[2].substr(1, 3), "G06");
    EXPECT_EQ(frames[3].substr(1, 3), "G02");
}

} // namespace
