// The watch through the window: the timer's passes on a hidden window, the search for a controller
// switched on later, the time-up alert and its red icon, against a simulated controller.
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFlows.h"
#include "monitor/BilliardStd.h"
#include "monitor/MainForm.h"
#include "tests/monitor/FakeWallClock.h"
#include "tests/monitor/RecordingView.h"
#include "tests/support/SimulatedPorts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Calls = std::vector<std::string>;

class WatchWindowTest : public testing::Test {
protected:
    WatchWindowTest() { MainForm = &form; }
    ~WatchWindowTest() override {
        MainForm = nullptr;
        ControllerPort = 0;
    }

    void enableWatch() {
        form.enableWatch({true, 15, 0}, files.file("Ledger.csv"), files.file("Watch.state"), clock);
    }
    void tick(int64_t seconds) {
        clock.seconds += seconds;
        form.WatchTimer_Timer();
    }
    std::string caption(const char* control, int index) { return view.captions[{control, index}]; }

    SimulatedPorts ports;
    TempFolder files;
    FakeWallClock clock;
    RecordingView view;
    ControllerFlows flows;
    BilliardStd form{view, flows};
};

TEST_F(WatchWindowTest, AHiddenWindowFindsALateControllerFollowsItAndRaisesTheTimeUpAlert) {
    enableWatch();
    form.loadHidden();
    EXPECT_EQ(view.calls, (Calls{"WatchTimer start 15000", "icon add 0", "hide"}));
    SimOptions options = SimulatedPorts::still();
    options.counters[2] = 5; // table 3
    ports.add(2, options);   // switched on after the program started

    tick(30); // the last search was 30 s ago: none yet
    EXPECT_TRUE(ports.frames(2).empty());
    tick(30);
    EXPECT_EQ(ControllerPort, 2);
    EXPECT_EQ(caption("lblInfo", -1), "Контролер на COM:2, Версия: 1");
    EXPECT_EQ(caption("lblTime", 3), "00:00:05");

    OpenControllerPort(); // the table's time runs out at the controller
    ResetTableCounter(3);
    CloseControllerPort();
    view.calls.clear();
    tick(15);
    EXPECT_EQ(caption("lblTime", 3), "00:00:00");
    EXPECT_EQ(view.calls, (Calls{"balloon Zentrovik Quedrix: Маса 3: времето изтече", "icon modify 3"}));
    EXPECT_NE(files.read("Ledger.csv").find(",standard,3,time-up,0,,,\r\n"), std::string::npos);

    view.calls.clear();
    form.Form_Activate(); // the window shown: the icon is the ordinary one again
    EXPECT_EQ(view.calls, (Calls{"icon modify 0", "hourglass off"}));
}

TEST_F(WatchWindowTest, AResetClickIsRecordedWithTheTimeItStopped) {
    SimOptions options = SimulatedPorts::still();
    options.counters[0] = 125;
    ports.add(1, options);
    enableWatch();
    form.loadHidden();
    form.btnReset_Click(1);
    EXPECT_EQ(ports.frames(1)[1], "\x02G01;00000;\x03"); // read before the reset, with the watch on
    EXPECT_NE(files.read("Ledger.csv").find(",standard,1,reset,125,,,\r\n"), std::string::npos);
}

TEST_F(WatchWindowTest, ATickDuringAnotherFlowWaitsForItAndWithoutTheWatchDoesNothing) {
    ControllerPort = 1; // a pass would open COM1: count the flows instead
    std::size_t queuedWithout = 9, queuedWith = 9;
    flows.request([&] {
        form.WatchTimer_Timer();
        queuedWithout = flows.pending();
        enableWatch();
        form.WatchTimer_Timer();
        form.WatchTimer_Timer(); // coalesced with the one before
        queuedWith = flows.pending();
        ControllerPort = 0;
    });
    EXPECT_EQ(queuedWithout, 0u);
    EXPECT_EQ(queuedWith, 1u);
}

} // namespace
