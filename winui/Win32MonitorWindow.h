// The native Win32 shell both monitor windows share: the window, its controls, menu, timers and tray
// icon behind MonitorView, and the window procedure that hands their events to the behaviour.
#pragma once

#include "monitor/MonitorControls.h"
#include "monitor/MonitorView.h"
#include "monitor/MonitorWindow.h"

#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

class Win32MonitorWindow : public MonitorView {
public:
    // The platform's notification-area call and whether it succeeded; tests put an observer in its place.
    using NotifyIconCall = std::function<bool(DWORD action, NOTIFYICONDATAA& data)>;
    // The call that puts a balloon on the icon, with its texts in UTF-16 whatever the ANSI code page.
    using BalloonCall = std::function<bool(NOTIFYICONDATAW& data)>;
    // Shows the pop-up menu at a point of the screen and returns when it closes; tests stand in for
    // the user there.
    using MenuTracker = std::function<void(HWND owner, HMENU menu, POINT at)>;

    ~Win32MonitorWindow() override;
    Win32MonitorWindow(const Win32MonitorWindow&) = delete;
    Win32MonitorWindow& operator=(const Win32MonitorWindow&) = delete;

    // What the window does; it drives these controls through MonitorView.
    MonitorWindow& form() const { return *m_form; }
    HWND hwnd() const { return m_hwnd; }
    // The control of that name; with an index, the array element carrying it. Null when none.
    HWND control(const std::string& name, int index = -1) const;
    HMENU mnu_Poppup() const { return m_menu; }
    // The icon held by Flash1 (0), Flash2 (1) or Flash3 (2), or the watch's alert icon (3).
    HICON flashIcon(int choice) const;
    // The background a label is painted with (the window's face colour unless set).
    COLORREF background(HWND label) const;
    bool timerRunning(Timer timer) const { return m_runningTimers.count(timer) != 0; }

    void setNotifyIconCall(NotifyIconCall call);
    void setBalloonCall(BalloonCall call);
    void setMenuTracker(MenuTracker tracker);
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
    // Makes the mode's hidden window with its controls as they are described.
    explicit Win32MonitorWindow(MonitorMode mode);

    // Takes the window's behaviour and wires the controls to its handlers.
    void adopt(std::unique_ptr<MonitorWindow> form);
    // What a tick of the timer runs.
    void onTimer(Timer timer, std::function<void()> tick);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    bool trayCallback(WPARAM wParam, LPARAM lParam) const;
    void addControl(const WindowControl& control);
    HWND addChild(const wchar_t* windowClass, DWORD style, const WindowControl& control);
    void addLabel(const WindowControl& control);
    void addButton(const WindowControl& control);
    void addPicture(const WindowControl& control);
    void createMenu();

    HWND m_hwnd = nullptr;
    HMENU m_menu = nullptr;
    std::unique_ptr<MonitorWindow> m_form;
    NotifyIconCall m_notifyIcon;
    BalloonCall m_balloon;
    MenuTracker m_menuTracker;
    std::function<void()> m_processEnd;
    int m_nextId = 100;
    std::map<int, std::function<void()>> m_commands; // by control or menu item id
    std::map<std::string, int> m_menuItems;          // menu item ids by name
    std::map<Timer, std::function<void()>> m_ticks;
    std::set<Timer> m_runningTimers;
    std::map<HWND, COLORREF> m_backgrounds;
    std::array<HWND, 3> m_flash{};
    bool m_activatingForMenu = false;
    int m_pictures = 0;
};

// A rectangle in twips as pixels at 96 dpi.
RECT PixelRect(const TwipRect& twips);
