// The behaviour both monitor windows share: loading, the tray, the status line, the buttons, the exit.
#pragma once

#include "controller/ControllerStatusSink.h"
#include "monitor/HallWatch.h"
#include "monitor/MonitorLayout.h"
#include "monitor/MonitorView.h"
#include "monitor/RefreshCycle.h"

#include <functional>
#include <memory>

class ControllerFlows;

class MonitorWindow : public ControllerStatusSink {
public:
    static constexpr int DisplayInfoIntervalMs = 200;
    // How often the icon is tried again while the notification area is not there.
    static constexpr int TrayIconRetryIntervalMs = 3000;

    // Every controller flow of the window runs through flows, one at a time. The serial line runs
    // the view's pending events while it waits, as long as the window lives.
    MonitorWindow(MonitorView& view, ControllerFlows& flows);
    ~MonitorWindow() override;
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;

    MonitorView& view() const { return m_view; }

    // Loads the window without showing it (Form_Load: discovery, tray icon). Without a system
    // tray there is no way to bring a hidden window up, so it is shown instead, and the icon is
    // tried again every TrayIconRetryIntervalMs until it is in place.
    void loadHidden();

    // What the process gives up when the window ends it, after the tray icon and the port and before
    // the shell's end (start-up gives up the instance lock here, since no static destructor runs).
    void setBeforeProcessEnd(std::function<void()> step);

    void setInfoCaption(const std::string& text) override;

    // Switches the watch on (before loading): a refresh pass every Interval seconds, shown or hidden,
    // and a new search for the controller once a minute while none is found; every pass goes to the
    // ledger, Watch.state and the alerts. Without this call the window reads only as its events ask.
    void enableWatch(const WatchSettings& settings, const std::string& ledgerPath,
                     const std::string& statePath, const WallClock& clock);
    HallWatch* hallWatch() const { return m_watch.get(); }
    virtual MonitorMode mode() const = 0;

    virtual void RefreshTables() = 0;

    void Form_Load();
    void InstallTrayIcon();
    virtual void Form_Activate();
    void DisplayInfoTimer_Timer();
    void TrayIconRetry_Timer();
    // The notification area was made anew (the taskbar restarted): the icon goes in again.
    void taskbarCreated();
    void btnInfo_Click();
    void btnHide_Click();
    // A click on the button of that name and index, as the window's controls name them.
    virtual void Button_Click(const std::string& name, int index);
    void mnuSetup_Click();
    void mnuExit_Click();
    void ExitProgram();
    void Form_Unload();
    void WatchTimer_Timer();

protected:
    ControllerFlows& flows() const { return m_flows; }
    void showTime(int table, const TimeCell& cell);
    // One pass over the eight tables, inside a flow.
    virtual void refreshPass() = 0;
    // Hands a pass's readings to the watch, when it is on.
    void watchPass(const PassReadings& readings);

private:
    void addTrayIcon();
    void showWithoutTray();
    void endProcess();
    void watchFlow();
    void raiseAlert(const std::string& text, bool timeUp);

    MonitorView& m_view;
    ControllerFlows& m_flows;
    bool m_loaded = false;
    bool m_trayWanted = false; // from InstallTrayIcon until the exit takes the icon away
    bool m_trayInstalled = false;
    bool m_trayRetrying = false;
    std::function<void()> m_beforeProcessEnd;
    std::unique_ptr<HallWatch> m_watch;
    bool m_alertIconShown = false;
};
