// The window behaviour over a recording view: loading, the tray codes, hiding, the exit, the minute tick.
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFlows.h"
#include "monitor/BilliardAlt.h"
#include "monitor/BilliardStd.h"
#include "monitor/MainForm.h"
#include "monitor/modSysTry.h"
#include "tests/monitor/RecordingView.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Calls = std::vector<std::string>;

class MonitorWindowTest : public testing::Test {
protected:
    MonitorWindowTest() {
        ControllerPort = 0;
        MainForm = &form;
    }
    ~MonitorWindowTest() override {
        MainForm = nullptr;
        ControllerPort = 0;
    }

    // Loads with no controller anywhere and forgets what the load asked for.
    void loadWithoutController() {
        form.loadHidden();
        view.calls.clear();
    }

    TempFolder ports;
    ScopedEnv portDir{"QUEDRIX_PORT_DIR", ports.path()};
    RecordingView view;
    ControllerFlows flows;
    BilliardStd form{view, flows};
};

TEST_F(MonitorWindowTest, LoadingWithATrayFillsTheRecordAddsFlash1AndStaysHidden) {
    form.loadHidden();

    EXPECT_EQ(view.calls, (Calls{"icon add 0", "hide"}));
    EXPECT_EQ(TrayIconData.hWnd, 4711u);
    EXPECT_EQ(TrayIconData.uCallbackMessage, 512u);
    EXPECT_EQ(TrayIconData.uFlags, 7u);
    EXPECT_EQ(std::strcmp(TrayIconData.szTip.data(), "Zentrovik Quedrix"), 0);
}

TEST_F(MonitorWindowTest, LoadingWithoutATrayShowsTheWindowWithOpenGreyed) {
    view.tray = false;
    form.loadHidden();

    EXPECT_EQ(view.calls, (Calls{"icon add 0", "TrayIconRetry start 3000", "mnuSetup off", "show"}));
}

TEST_F(MonitorWindowTest, TheIconIsTriedAgainUntilItIsInPlaceAndThenHideHides) {
    view.tray = false;
    form.loadHidden();
    form.TrayIconRetry_Timer();
    view.tray = true; // the taskbar is up
    form.TrayIconRetry_Timer();
    form.btnHide_Click();

    EXPECT_EQ(view.calls, (Calls{"icon add 0", "TrayIconRetry start 3000", "mnuSetup off", "show",
                                 "icon add 0", "icon add 0", "TrayIconRetry stop", "mnuSetup on", "hide"}));
}

bool sameRecord(const NotifyIconData& a, const NotifyIconData& b) {
    return a.cbSize == b.cbSize && a.hWnd == b.hWnd && a.uID == b.uID && a.uFlags == b.uFlags &&
           a.uCallbackMessage == b.uCallbackMessage && a.hIcon == b.hIcon && a.szTip == b.szTip;
}

TEST_F(MonitorWindowTest, ANewTaskbarGetsTheIconAgainWithTheSameRecord) {
    form.taskbarCreated(); // no icon asked for yet
    EXPECT_TRUE(view.calls.empty());
    loadWithoutController();

    form.taskbarCreated();
    EXPECT_EQ(view.calls, (Calls{"icon add 0"}));
    ASSERT_EQ(view.added.size(), 2u);
    EXPECT_TRUE(sameRecord(view.added[0], view.added[1]));

    // A taskbar that does not take the icon yet: the hidden window comes up, the retry runs.
    view.tray = false;
    view.calls.clear();
    form.taskbarCreated();
    EXPECT_EQ(view.calls, (Calls{"icon add 0", "TrayIconRetry start 3000", "mnuSetup off", "show"}));
}

TEST_F(MonitorWindowTest, AfterTheExitNoIconIsAddedAgain) {
    view.tray = false;
    loadWithoutController();
    form.mnuExit_Click();
    view.tray = true;
    view.calls.clear();
    form.taskbarCreated();
    form.TrayIconRetry_Timer();
    EXPECT_TRUE(view.calls.empty());
}

struct TrayCall {
    const char* name;
    uintptr_t handle;
    int32_t message;
    int32_t code;
    Calls expected;
};

class TrayWindowProcTest : public MonitorWindowTest, public testing::WithParamInterface<TrayCall> {};

TEST_P(TrayWindowProcTest, ActsOnlyOnItsTwoCodesForMainForm) {
    loadWithoutController();
    const TrayCall& call = GetParam();

    EXPECT_EQ(TrayWindowProc(call.handle, call.message, call.code, call.code), 0);
    EXPECT_EQ(view.calls, call.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, TrayWindowProcTest,
    testing::Values(
        TrayCall{"DoubleClick", 4711, 1025, 515, {"mnuSetup off", "DisplayInfoTimer start 200", "show"}},
        TrayCall{"RightButtonUp", 4711, 1025, 517, {"menu"}}, TrayCall{"MouseMove", 4711, 1025, 512, {}},
        TrayCall{"LeftButtonUp", 4711, 1025, 514, {}}, TrayCall{"RightButtonDown", 4711, 1025, 516, {}},
        TrayCall{"MiddleUp", 4711, 1025, 520, {}}, TrayCall{"OtherMessage", 4711, 1024, 515, {}},
        TrayCall{"OtherWindow", 4712, 1025, 517, {}}),
    [](const testing::TestParamInfo<TrayCall>& info) { return std::string(info.param.name); });

TEST_F(MonitorWindowTest, HideHidesWithATrayAndMinimisesWithoutOne) {
    loadWithoutController();
    form.btnHide_Click();
    view.tray = false; // the tray went away
    form.btnHide_Click();

    EXPECT_EQ(view.calls, (Calls{"mnuSetup on", "hide", "mnuSetup on", "minimise"}));
}

TEST_F(MonitorWindowTest, ExitTakesTheIconAwayBeforeTheWindowAndEndsTheProcess) {
    loadWithoutController();
    form.mnuExit_Click();

    // The record keeps Flash2 from the exit's own call.
    EXPECT_EQ(view.calls, (Calls{"icon delete 1", "unload", "icon delete 1", "end"}));
}

// Start-up's step (the instance lock) comes after the icon is gone and before the shell ends it all.
TEST_F(MonitorWindowTest, TheStepBeforeTheEndRunsBetweenTheIconAndTheShellsEnd) {
    loadWithoutController();
    form.setBeforeProcessEnd([this] { view.calls.push_back("lock released"); });
    form.Form_Unload();
    EXPECT_EQ(view.calls, (Calls{"icon delete 0", "lock released", "end"}));
}

TEST_F(MonitorWindowTest, TheTimerTickStopsItselfAndPutsThePointerBack) {
    loadWithoutController();
    form.DisplayInfoTimer_Timer();

    EXPECT_EQ(view.calls, (Calls{"DisplayInfoTimer stop", "hourglass off"}));
}

class BilliardAltMonitorTest : public MonitorWindowTest {
protected:
    BilliardAlt alt{view, flows};
};

TEST_F(BilliardAltMonitorTest, TheMinuteTimerRunsFromTheStartAndRefreshesOnlyAVisibleWindow) {
    EXPECT_EQ(view.calls, (Calls{"DisplayInfoTimerEx start 60000"}));
    view.calls.clear();
    int refreshes = 0;
    ControllerPort = 1; // a refresh would open COM1: count the flows instead
    flows.request([&] {
        alt.DisplayInfoTimerEx_Timer(); // hidden: nothing queued
        view.visible = true;
        alt.DisplayInfoTimerEx_Timer(); // visible: one refresh queued behind this flow
        refreshes = static_cast<int>(flows.pending());
        ControllerPort = 0;
    });
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(view.calls, (Calls{"hourglass off", "hourglass off"}));
}

} // namespace
