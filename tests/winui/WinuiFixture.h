// A Win32 monitor window of either variant as MainForm, its tray calls and process end observed.
#pragma once

// modSysTry.h names the tray constants as the Win32 headers do; it comes before <windows.h>.
#include "monitor/modSysTry.h"

#include "controller/ControllerFlows.h"
#include "monitor/MainForm.h"
#include "winui/Win32BilliardAlt.h"
#include "winui/Win32BilliardStd.h"

#include <gtest/gtest.h>

#include <vector>

template <class Window> class WinuiFixture : public testing::Test {
protected:
    WinuiFixture() : window(flows) {
        MainForm = &window.form();
        window.setProcessEnd([this] { ++processEnds; });
        window.setNotifyIconCall([this](DWORD action, NOTIFYICONDATAA& data) {
            notified.push_back({action, data});
            return action == NIM_DELETE || shellTakesAdds;
        });
    }
    ~WinuiFixture() override { MainForm = nullptr; }

    // Runs the window's messages until the condition holds or about five seconds have gone by.
    template <class Condition> bool pumpUntil(Condition condition) {
        for (int i = 0; i < 500 && !condition(); ++i) {
            window.pumpEvents();
            ::Sleep(10);
        }
        return condition();
    }

    struct Notified {
        DWORD action;
        NOTIFYICONDATAA data;
    };

    ControllerFlows flows;
    Window window;
    int processEnds = 0;
    bool shellTakesAdds = true; // false: a shell with no taskbar yet
    std::vector<Notified> notified;
};
