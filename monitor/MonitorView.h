// MonitorView: what the window behaviour asks of a shell: named controls, menu, timers, tray, process.
#pragma once

#include <cstdint>
#include <string>

struct NotifyIconData;

class MonitorView {
public:
    // TrayIconRetry: the next try to add the tray icon while the notification area is not there yet.
    enum class Timer { DisplayInfoTimer, DisplayInfoTimerEx, TrayIconRetry, WatchTimer };

    virtual ~MonitorView() = default;

    // The window's handle, as the tray record and TrayWindowProc carry it, and its caption (UTF-8).
    virtual uintptr_t windowHandle() const = 0;
    virtual std::string windowCaption() const = 0;

    // The caption (UTF-8) and the background (0xRRGGBB) of the label of that name; index is the
    // element of a control array (the table number), -1 for a single control.
    virtual void setCaption(const std::string& control, int index, const std::string& text) = 0;
    virtual void setBackground(const std::string& control, int index, uint32_t rgb) = 0;
    virtual void setMenuItemEnabled(const std::string& item, bool enabled) = 0;

    // Shown as the active window, restored when minimised.
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual void minimiseWindow() = 0;
    virtual bool windowVisible() const = 0;
    // Closes the window; the shell reports its unload (Form_Unload) as it happens.
    virtual void unloadWindow() = 0;

    virtual void startWindowTimer(Timer timer, int intervalMs) = 0;
    virtual void stopWindowTimer(Timer timer) = 0;

    // The window's pop-up menu at the mouse pointer.
    virtual void popUpMenu() = 0;
    // Whether a notification area is there to hold the icon.
    virtual bool trayAvailable() const = 0;
    // The platform's notification-area call (NIM_ADD, NIM_MODIFY, NIM_DELETE) with the record
    // NotifyTray filled; whether the platform did it (after an add: whether the icon is in place).
    virtual bool shellNotifyIcon(int32_t action, const NotifyIconData& data) = 0;
    // A notification from the tray icon (a balloon), texts in UTF-8.
    virtual void showBalloon(const std::string& title, const std::string& text) = 0;

    // The wait pointer over every window of the program: on once however often asked, off in one call.
    virtual void setHourglass(bool on) = 0;
    // Runs the window events that are waiting (the serial line calls it while it waits).
    virtual void pumpEvents() = 0;
    // The user's separator between hours and minutes, from the regional settings.
    virtual std::string userTimeSeparator() const = 0;
    // Ends the process on the spot, once the window has given up its icon and the port.
    virtual void endProcess() = 0;
};
