// The parts both monitor windows share: table and time labels, status line, buttons, tray menu, timer.
#pragma once

#include "ControllerStatusSink.h"
#include "MonitorLayout.h"
#include "RefreshCycle.h"

#include <QIcon>
#include <QWidget>

#include <array>
#include <functional>

class ControllerFlows;
class MyButton;
class QAction;
class QLabel;
class QMenu;
class QTimer;

class MonitorWindow : public QWidget, public ControllerStatusSink {
    Q_OBJECT
public:
    // Every controller flow of the window runs through flows, one at a time.
    MonitorWindow(const MonitorLayout& layout, ControllerFlows& flows, QWidget* parent = nullptr);

    QLabel* lblTable(int table) const { return m_lblTable.at(table); }
    QLabel* lblTime(int table) const { return m_lblTime.at(table); }
    QLabel* lblInfo() const { return m_lblInfo; }
    MyButton* btnInfo() const { return m_btnInfo; }
    MyButton* btnHide() const { return m_btnHide; }
    QLabel* Flash1() const { return m_flash[0]; }
    QLabel* Flash2() const { return m_flash[1]; }
    QLabel* Flash3() const { return m_flash[2]; }
    // The icon held by Flash1 (0), Flash2 (1) or Flash3 (2).
    QIcon flashIcon(int choice) const;
    QTimer* DisplayInfoTimer() const { return m_displayInfoTimer; }
    QMenu* mnu_Poppup() const { return m_mnuPoppup; }
    QAction* mnuSetup() const { return m_mnuSetup; }
    QAction* mnuExit() const { return m_mnuExit; }

    // Loads the window without showing it (Form_Load: discovery, tray icon). Without a system
    // tray there is no way to bring a hidden window up, so it is shown instead.
    void loadHidden();
    // Shows the window as the active one, restoring it when minimised.
    void showWindow();

    // Where the window learns whether a system tray is there; the platform's answer by default.
    void setTrayAvailability(std::function<bool()> available);
    // What ends the process once the tray icon and the port are given up; endProcessNow by default.
    // The start-up gives up the instance lock in it first; tests put an observer in its place.
    void setProcessEnd(std::function<void()> end);
    // Flushes the standard streams and ends the process on the spot: no further event handler,
    // static destructor or exit handler runs.
    static void endProcessNow();

    void setInfoCaption(const std::string& text) override;

    virtual void RefreshTables() = 0;

    void Form_Load();
    void InstallTrayIcon();
    virtual void Form_Activate();
    void DisplayInfoTimer_Timer();
    void btnInfo_Click();
    void btnHide_Click();
    void mnuSetup_Click();
    void mnuExit_Click();
    void ExitProgram();
    void Form_Unload();

protected:
    ControllerFlows& flows() const { return m_flows; }
    const MonitorLayout& layout() const { return m_layout; }
    QRect columnRect(int table, int top, int width, int height) const;
    // A bold label in the window's face, in the given size.
    QLabel* addLabel(const QString& name, int index, const QString& caption, const QRect& geometry,
                     double points);
    static void setBackground(QLabel* label, const QColor& colour);
    static void setBackground(QLabel* label, QBColorIndex colour);
    void showTime(int table, const TimeCell& cell);

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenu();
    void endProcess();

    const MonitorLayout m_layout;
    ControllerFlows& m_flows;
    std::function<bool()> m_trayAvailable;
    std::function<void()> m_processEnd;
    bool m_loaded = false;
    bool m_trayInstalled = false;

    std::array<QLabel*, TableCount + 1> m_lblTable{}; // indexed by table number; 0 unused
    std::array<QLabel*, TableCount + 1> m_lblTime{};
    QLabel* m_lblInfo = nullptr;
    MyButton* m_btnInfo = nullptr;
    MyButton* m_btnHide = nullptr;
    std::array<QLabel*, 3> m_flash{};
    QTimer* m_displayInfoTimer = nullptr;
    QMenu* m_mnuPoppup = nullptr;
    QAction* m_mnuSetup = nullptr;
    QAction* m_mnuExit = nullptr;
};
