#include "monitor/MonitorWindow.h"

#include "common/Configuration.h"
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFlows.h"
#include "controller/FPSerial.h"
#include "monitor/modSysTry.h"

#include <utility>

MonitorWindow::MonitorWindow(MonitorView& view, ControllerFlows& flows) : m_view(view), m_flows(flows) {
    ControllerSerial().setPumpEvents([&view] { view.pumpEvents(); });
}

MonitorWindow::~MonitorWindow() {
    ControllerSerial().setPumpEvents({});
}

void MonitorWindow::setBeforeProcessEnd(std::function<void()> step) {
    m_beforeProcessEnd = std::move(step);
}

void MonitorWindow::setInfoCaption(const std::string& text) {
    m_view.setCaption("lblInfo", -1, text);
}

void MonitorWindow::showTime(int table, const TimeCell& cell) {
    m_view.setCaption("lblTime", table, cell.text);
    m_view.setBackground("lblTime", table, QBColor(static_cast<int>(cell.colour)));
}

void MonitorWindow::loadHidden() {
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    if (m_trayInstalled)
        m_view.hideWindow();
    else
        showWithoutTray();
}

void MonitorWindow::showWithoutTray() {
    m_view.setMenuItemEnabled("mnuSetup", false);
    m_view.showWindow();
}

void MonitorWindow::Form_Load() {
    m_flows.request([this] { FindController(*this); });
    InstallTrayIcon();
}

void MonitorWindow::InstallTrayIcon() {
    SetTrayTip(m_view.windowCaption());
    m_trayWanted = true;
    addTrayIcon();
}

// The icon counts as installed only once the platform has taken it; until then the retry timer runs.
void MonitorWindow::addTrayIcon() {
    int32_t action = NIM_ADD;
    m_trayInstalled = NotifyTray(action, 0);
    if (!m_trayInstalled && !m_trayRetrying)
        m_view.startWindowTimer(MonitorView::Timer::TrayIconRetry, TrayIconRetryIntervalMs);
    else if (m_trayInstalled && m_trayRetrying)
        m_view.stopWindowTimer(MonitorView::Timer::TrayIconRetry);
    m_trayRetrying = !m_trayInstalled;
}

void MonitorWindow::TrayIconRetry_Timer() {
    if (m_trayWanted)
        addTrayIcon();
}

void MonitorWindow::taskbarCreated() {
    if (!m_trayWanted)
        return;
    addTrayIcon();
    // Hidden with no icon to bring it back, the window would be lost until the retry succeeds.
    if (!m_trayInstalled && !m_view.windowVisible())
        showWithoutTray();
}

void MonitorWindow::Form_Activate() {
    if (m_alertIconShown) {
        m_alertIconShown = false;
        int32_t action = NIM_MODIFY;
        NotifyTray(action, 0);
    }
    m_view.setHourglass(false);
}

void MonitorWindow::DisplayInfoTimer_Timer() {
    m_view.stopWindowTimer(MonitorView::Timer::DisplayInfoTimer);
    RefreshTables();
    m_view.setHourglass(false);
}

void MonitorWindow::btnInfo_Click() {
    RefreshTables();
}

void MonitorWindow::Button_Click(const std::string& name, int) {
    if (name == "btnInfo")
        btnInfo_Click();
    else if (name == "btnHide")
        btnHide_Click();
}

void MonitorWindow::btnHide_Click() {
    m_view.setMenuItemEnabled("mnuSetup", true);
    // Hidden without a tray icon, the window could never be brought back: minimise it instead.
    if (m_trayInstalled && m_view.trayAvailable())
        m_view.hideWindow();
    else
        m_view.minimiseWindow();
}

void MonitorWindow::mnuSetup_Click() {
    m_view.setMenuItemEnabled("mnuSetup", false);
    RefreshTables();
    m_view.showWindow();
}

void MonitorWindow::mnuExit_Click() {
    ExitProgram();
}

void MonitorWindow::ExitProgram() {
    m_trayWanted = false;
    int32_t action = NIM_DELETE;
    NotifyTray(action, 1);
    m_view.unloadWindow();
    endProcess();
}

void MonitorWindow::Form_Unload() {
    endProcess();
}

void MonitorWindow::enableWatch(const WatchSettings& settings, const std::string& ledgerPath,
                                const std::string& statePath, const WallClock& clock) {
    HallWatch::Setup setup{mode(),
                           settings,
                           ledgerPath,
                           statePath,
                           {AppConfig.Peak, AppConfig.OffPeak, AppConfig.StartTime, AppConfig.EndTime},
                           m_view.userTimeSeparator()};
    m_watch = std::make_unique<HallWatch>(
        std::move(setup), clock, [this](const WatchAlert& alert) { raiseAlert(alert.text, alert.timeUp); });
    m_view.startWindowTimer(MonitorView::Timer::WatchTimer, settings.intervalSeconds * 1000);
}

void MonitorWindow::WatchTimer_Timer() {
    if (m_watch)
        m_flows.request([this] { watchFlow(); }, ControllerFlows::Kind::Refresh);
}

void MonitorWindow::watchFlow() {
    if (ControllerPort == 0 && m_watch->discoveryDue())
        FindController(*this);
    refreshPass();
}

void MonitorWindow::watchPass(const PassReadings& readings) {
    if (m_watch)
        m_watch->observe(readings);
}

void MonitorWindow::raiseAlert(const std::string& text, bool timeUp) {
    m_view.showBalloon(m_view.windowCaption(), text);
    if (timeUp && !m_alertIconShown) {
        m_alertIconShown = true;
        int32_t action = NIM_MODIFY;
        NotifyTray(action, AlertIcon);
    }
}

void MonitorWindow::endProcess() {
    // Called from a pumped event in the middle of an exchange as well: the flow under way and the
    // flows queued behind it end with the process, so no frame goes out after this. What the
    // window leaves behind is given up first: the icon and the port (its exclusive use included).
    m_trayWanted = false;
    int32_t action = NIM_DELETE;
    NotifyTray(action, -1);
    CloseControllerPort();
    if (m_beforeProcessEnd)
        m_beforeProcessEnd();
    m_view.endProcess();
}
