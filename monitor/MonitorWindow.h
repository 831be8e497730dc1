// The behaviour both monitor windows share: loading, the tray, the status line, the buttons, the exit.
#pragma once

#include "ControllerStatusSink.h"
#include "MonitorLayout.h"
#include "MonitorView.h"
#include "RefreshCycle.h"

#include <functional>

class ControllerFlows;

class MonitorWindow : public ControllerStatusSink {
public:
    static constexpr int DisplayInfoIntervalMs = 200;

    // Every controller flow of the window runs through flows, one at a time. The serial line runs
    // the view's pending events while it waits, as long as the window lives.
    MonitorWindow(MonitorView& view, ControllerFlows& flows);
    ~MonitorWindow() override;
    MonitorWindow(const MonitorWindow&) = delete;
    MonitorWindow& operator=(const MonitorWindow&) = delete;

    MonitorView& view() const { return m_view; }

    // Loads the window without showing it (Form_Load: discovery, tray icon). Without a system
    // tray there is no way to bring a hidden window up, so it is shown instead.
    void loadHidden();

    // What the process gives up when the window ends it, after the tray icon and the port and before
    // the shell's end (start-up gives up the instance lock here, since no static destructor runs).
    void setBeforeProcessEnd(std::function<void()> step);

    void setInfoCaption(const std::string& text) override;

    virtual void RefreshTables() = 0;

    void Form_Load();
    void InstallTrayIcon();
    virtual void Form_Activate();
    void DisplayInfoTimer_Timer();
    void btnInfo_Click();
    void btnHide_Click();
    // A click on the button of that name and index, as the window's controls name them.
    virtual void Button_Click(const std::string& name, int index);
    void mnuSetup_Click();
    void mnuExit_Click();
    void ExitProgram();
    void Form_Unload();

protected:
    ControllerFlows& flows() const { return m_flows; }
    void showTime(int table, const TimeCell& cell);

private:
    void endProcess();

    MonitorView& m_view;
    ControllerFlows& m_flows;
    bool m_loaded = false;
    bool m_trayInstalled = false;
    std::function<void()> m_beforeProcessEnd;
};
