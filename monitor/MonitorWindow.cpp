#include "MonitorWindow.h"

#include "Billiard.h"
#include "Configuration.h"
#include "ControllerDiscovery.h"
#include "ControllerFlows.h"
#include "FPSerial.h"
#include "modSysTry.h"

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
    if (m_trayInstalled) {
        m_view.hideWindow();
    } else {
        m_view.setMenuItemEnabled("mnuSetup", false);
        m_view.showWindow();
    }
}

void MonitorWindow::Form_Load() {
    m_flows.request([this] { FindController(*this); });
    InstallTrayIcon();
}

void MonitorWindow::InstallTrayIcon() {
    SetTrayTip(m_view.windowCaption());
    m_trayInstalled = m_view.trayAvailable();
    int32_t action = NIM_ADD;
    NotifyTray(action, 0);
}

void MonitorWindow::Form_Activate() {
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
    int32_t action = NIM_DELETE;
    NotifyTray(action, 1);
    m_view.unloadWindow();
    endProcess();
}

void MonitorWindow::Form_Unload() {
    endProcess();
}

void MonitorWindow::endProcess() {
    // Called from a pumped event in the middle of an exchange as well: the flow under way and the
    // flows queued behind it end with the process, so no frame goes out after this. What the
    // window leaves behind is given up first: the icon and the port (its exclusive use included).
    int32_t action = NIM_DELETE;
    NotifyTray(action, -1);
    CloseControllerPort();
    if (m_beforeProcessEnd)
        m_beforeProcessEnd();
    m_view.endProcess();
}
