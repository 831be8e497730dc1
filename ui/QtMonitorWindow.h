// The Qt shell both monitor windows share: widgets made from the described controls, the MonitorView calls.
#pragma once

#include "monitor/MonitorControls.h"
#include "monitor/MonitorView.h"
#include "monitor/MonitorWindow.h"

#include <QIcon>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class MyButton;
class QAction;
class QLabel;
class QMenu;
class QTimer;

class QtMonitorWindow : public QWidget, public MonitorView {
    Q_OBJECT
public:
    ~QtMonitorWindow() override;

    // What the window does; it drives these widgets through MonitorView.
    MonitorWindow& form() const { return *m_form; }

    QLabel* lblTable(int table) const;
    QLabel* lblTime(int table) const;
    QLabel* lblInfo() const;
    MyButton* btnInfo() const;
    MyButton* btnHide() const;
    QLabel* Flash1() const { return m_flash[0]; }
    QLabel* Flash2() const { return m_flash[1]; }
    QLabel* Flash3() const { return m_flash[2]; }
    // The icon held by Flash1 (0), Flash2 (1) or Flash3 (2), or the watch's alert icon (3).
    QIcon flashIcon(int choice) const;
    QTimer* DisplayInfoTimer() const { return m_displayInfoTimer; }
    QTimer* WatchTimer() const { return m_watchTimer; }
    QMenu* mnu_Poppup() const { return m_mnuPoppup; }
    QAction* mnuSetup() const { return m_mnuSetup; }
    QAction* mnuExit() const { return m_mnuExit; }

    // Where the window learns whether a system tray is there; the platform's answer by default.
    void setTrayAvailability(std::function<bool()> available);
    // What ends the process once the tray icon, the port and the lock are given up; EndProcessNow
    // by default. Tests put an observer in its place.
    void setProcessEnd(std::function<void()> end);

    uintptr_t windowHandle() const override;
    std::string windowCaption() const override;
    void setCaption(const std::string& control, int index, const std::string& text) override;
    void setBackground(const std::string& control, int index, uint32_t rgb) override;
    void setMenuItemEnabled(const std::string& item, bool enabled) override;
    void showWindow() override;
    void hideWindow() override;
    void minimiseWindow() override;
    bool windowVisible() const override;
    void unloadWindow() override;
    void startWindowTimer(Timer timer, int intervalMs) override;
    void stopWindowTimer(Timer timer) override;
    void popUpMenu() override;
    bool trayAvailable() const override;
    bool shellNotifyIcon(int32_t action, const NotifyIconData& data) override;
    void showBalloon(const std::string& title, const std::string& text) override;
    void setHourglass(bool on) override;
    void pumpEvents() override;
    std::string userTimeSeparator() const override;
    void endProcess() override;

protected:
    // Makes the widgets of the mode's window as its controls describe them.
    QtMonitorWindow(MonitorMode mode, QWidget* parent);

    // Takes the window's behaviour and wires the widgets to its handlers.
    void adopt(std::unique_ptr<MonitorWindow> form);
    // The window's timer of that kind; the alternative window adds DisplayInfoTimerEx.
    virtual QTimer* timer(Timer which) const;

    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addControl(const WindowControl& control);
    void addLabel(const WindowControl& control);
    void addButton(const WindowControl& control);
    void addLine(const WindowControl& control);
    void addPicture(const WindowControl& control);
    void createMenu();

    std::unique_ptr<MonitorWindow> m_form;
    std::function<bool()> m_trayAvailable;
    std::function<void()> m_processEnd;

    std::array<QLabel*, 3> m_flash{};
    int m_pictures = 0;
    QTimer* m_displayInfoTimer = nullptr;
    QTimer* m_trayIconRetry = nullptr;
    QTimer* m_watchTimer = nullptr;
    QMenu* m_mnuPoppup = nullptr;
    QAction* m_mnuSetup = nullptr;
    QAction* m_mnuExit = nullptr;
};

// A rectangle in twips as pixels.
QRect TwipsRect(const TwipRect& twips);
