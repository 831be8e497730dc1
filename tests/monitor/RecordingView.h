// A MonitorView without any toolkit: it records what the window behaviour asks of it, in order.
#pragma once

#include "monitor/MonitorView.h"
#include "monitor/modSysTry.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class RecordingView : public MonitorView {
public:
    uintptr_t windowHandle() const override { return 4711; }
    std::string windowCaption() const override { return "Zentrovik Quedrix"; }
    void setCaption(const std::string& control, int index, const std::string& text) override {
        captions[{control, index}] = text;
    }
    void setBackground(const std::string& control, int index, uint32_t rgb) override {
        backgrounds[{control, index}] = rgb;
    }
    void setMenuItemEnabled(const std::string& item, bool enabled) override {
        calls.push_back(item + (enabled ? " on" : " off"));
    }
    void showWindow() override {
        visible = true;
        calls.push_back("show");
    }
    void hideWindow() override {
        visible = false;
        calls.push_back("hide");
    }
    void minimiseWindow() override { calls.push_back("minimise"); }
    bool windowVisible() const override { return visible; }
    void unloadWindow() override { calls.push_back("unload"); }
    void startWindowTimer(Timer timer, int intervalMs) override {
        calls.push_back(timerName(timer) + " start " + std::to_string(intervalMs));
    }
    void stopWindowTimer(Timer timer) override { calls.push_back(timerName(timer) + " stop"); }
    void popUpMenu() override { calls.push_back("menu"); }
    bool trayAvailable() const override { return tray; }
    // An add succeeds while there is a tray.
    bool shellNotifyIcon(int32_t action, const NotifyIconData& data) override {
        const char* name = action == NIM_ADD      ? "icon add "
                           : action == NIM_MODIFY ? "icon modify "
                                                  : "icon delete ";
        calls.push_back(name + std::to_string(data.hIcon));
        if (action == NIM_ADD)
            added.push_back(data);
        return action != NIM_ADD || tray;
    }
    void showBalloon(const std::string& title, const std::string& text) override {
        calls.push_back("balloon " + title + ": " + text);
    }
    void setHourglass(bool on) override { calls.push_back(on ? "hourglass on" : "hourglass off"); }
    void pumpEvents() override { ++pumps; }
    std::string userTimeSeparator() const override { return ":"; }
    void endProcess() override { calls.push_back("end"); }

    static std::string timerName(Timer timer) {
        switch (timer) {
        case Timer::DisplayInfoTimer:
            return "DisplayInfoTimer";
        case Timer::DisplayInfoTimerEx:
            return "DisplayInfoTimerEx";
        case Timer::TrayIconRetry:
            return "TrayIconRetry";
        case Timer::WatchTimer:
            return "WatchTimer";
        }
        return "?";
    }

    bool tray = true;
    bool visible = false;
    int pumps = 0;
    std::vector<std::string> calls;
    std::vector<NotifyIconData> added; // the records of the adds
    std::map<std::pair<std::string, int>, std::string> captions;
    std::map<std::pair<std::string, int>, uint32_t> backgrounds;
};
