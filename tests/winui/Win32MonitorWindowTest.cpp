// The Win32 shell's window: its controls, colours, tray record, tray codes, menu, timers, hourglass.
#include "tests/winui/WinuiFixture.h"

#include "common/Win32Text.h"
#include "monitor/Hourglass.h"
#include "winui/Win32Hourglass.h"
#include "winui/Win32WindowText.h"

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using StdWindowTest = WinuiFixture<Win32BilliardStd>;
using AltWindowTest = WinuiFixture<Win32BilliardAlt>;

struct Placed {
    const char* name;
    int index;
    const char* windowClass;
    RECT pixels; // in the window's client area
};

std::string classOf(HWND control) {
    char name[64] = {};
    ::GetClassNameA(control, name, sizeof(name));
    return name;
}

RECT clientRectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
           "x" + std::to_string(r.bottom - r.top);
}

void expectPlaced(const Win32MonitorWindow& window, SIZE client, const std::vector<Placed>& table) {
    RECT inner{};
    ::GetClientRect(window.hwnd(), &inner);
    EXPECT_EQ(inner.right, client.cx);
    EXPECT_EQ(inner.bottom, client.cy);
    for (const Placed& p : table) {
        SCOPED_TRACE(std::string(p.name) + "(" + std::to_string(p.index) + ")");
        HWND control = window.control(p.name, p.index);
        ASSERT_NE(control, nullptr);
        EXPECT_STRCASEEQ(classOf(control).c_str(), p.windowClass);
        EXPECT_EQ(text(clientRectOf(control)), text(p.pixels));
    }
}

// 15 twips to the pixel: e.g. lblTime(3) of the standard window at left 90 + 2 * 1080 = 2250, top 390.
TEST_F(StdWindowTest, ControlsHaveTheirNamesClassesAndPixelRectangles) {
    expectPlaced(window, {585, 111},
                 {{"lblTable", 1, "Static", {6, 8, 75, 23}},
                  {"lblTime", 3, "Static", {150, 26, 219, 41}},
                  {"lblTime", 8, "Static", {510, 26, 579, 41}},
                  {"btnReset", 1, "Button", {6, 44, 75, 73}},
                  {"btnReset", 8, "Button", {510, 44, 579, 73}},
                  {"Line1", -1, "Static", {6, 76, 581, 77}},
                  {"lblInfo", -1, "Static", {8, 88, 395, 105}},
                  {"btnInfo", -1, "Button", {398, 82, 487, 107}},
                  {"btnHide", -1, "Button", {490, 82, 579, 107}},
                  {"Flash1", -1, "Static", {346, 84, 369, 107}},
                  {"Flash3", -1, "Static", {320, 84, 343, 107}}});
    EXPECT_EQ(window.control("btnSet", 1), nullptr);
    EXPECT_EQ(window.control("lblSum", 1), nullptr);
    EXPECT_EQ(WindowText(window.hwnd()), "Zentrovik Quedrix");
    EXPECT_EQ(WindowText(window.control("lblTable", 4)), "Маса 4");
    EXPECT_EQ(WindowText(window.control("btnReset", 2)), "Спиране");
    EXPECT_FALSE(::IsWindowVisible(window.hwnd()));
}

TEST_F(AltWindowTest, ControlsHaveTheirNamesClassesAndPixelRectangles) {
    expectPlaced(window, {825, 143},
                 {{"lblTable", 2, "Static", {108, 8, 208, 27}},
                  {"lblTime", 1, "Static", {6, 30, 106, 49}},
                  {"lblSum", 8, "Static", {720, 52, 820, 71}},
                  {"btnSet", 3, "Button", {210, 74, 309, 103}},
                  {"Line1", -1, "Static", {6, 110, 821, 111}},
                  {"lblInfo", -1, "Static", {8, 118, 395, 135}},
                  {"btnInfo", -1, "Button", {638, 114, 727, 139}},
                  {"btnHide", -1, "Button", {730, 114, 819, 139}}});
    EXPECT_EQ(window.control("btnReset", 1), nullptr);
    EXPECT_EQ(WindowText(window.control("btnSet", 8)), "Старт");
    EXPECT_EQ(WindowText(window.control("lblSum", 5)), "0.00");
}

LOGFONTA fontOf(HWND control) {
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font;
}

TEST_F(AltWindowTest, LabelsUseTheBoldCyrillicFaceInTheirSizes) {
    for (const auto& [name, index, height] : std::vector<std::tuple<const char*, int, LONG>>{
             {"lblTable", 1, -16}, {"lblSum", 2, -16}, {"lblInfo", -1, -11}}) {
        SCOPED_TRACE(name);
        const LOGFONTA font = fontOf(window.control(name, index));
        EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
        EXPECT_EQ(font.lfWeight, FW_BOLD);
        EXPECT_EQ(font.lfCharSet, 204);
        EXPECT_EQ(font.lfHeight, height); // 12 pt and 8.25 pt at 96 dpi
    }
}

// What the window answers when a label asks for its colours.
struct Painted {
    COLORREF brush;
    COLORREF back;
    COLORREF textColour;
    HBRUSH handle;
};

Painted paintedColours(const Win32MonitorWindow& window, HWND label) {
    HDC dc = ::GetDC(label);
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
        window.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    LOGBRUSH logBrush{};
    ::GetObjectW(brush, sizeof(logBrush), &logBrush);
    Painted painted{logBrush.lbColor, ::GetBkColor(dc), ::GetTextColor(dc), brush};
    ::ReleaseDC(label, dc);
    return painted;
}

TEST_F(AltWindowTest, CaptionsAndBackgroundsReachTheLabelsThroughCtlColorStatic) {
    EXPECT_EQ(paintedColours(window, window.control("lblTime", 4)).brush, RGB(255, 0, 0)) << "red at start";
    EXPECT_EQ(paintedColours(window, window.control("lblSum", 4)).brush, RGB(128, 255, 255));
    EXPECT_EQ(paintedColours(window, window.control("lblTable", 4)).brush, ::GetSysColor(COLOR_BTNFACE));

    window.setCaption("lblTime", 4, "01:02:05");
    window.setBackground("lblTime", 4, 0x00FF00);
    EXPECT_EQ(WindowText(window.control("lblTime", 4)), "01:02:05");
    EXPECT_EQ(WindowText(window.control("lblTime", 5)), "00:00:00");
    const Painted green = paintedColours(window, window.control("lblTime", 4));
    EXPECT_EQ(green.brush, RGB(0, 255, 0));
    EXPECT_EQ(green.back, RGB(0, 255, 0));
    EXPECT_EQ(green.textColour, ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(paintedColours(window, window.control("lblTime", 5)).brush, RGB(255, 0, 0));

    // Refresh after refresh the labels are painted with the same brush for a colour: none is made anew.
    window.setBackground("lblTime", 5, 0x00FF00);
    for (int refresh = 0; refresh < 50; ++refresh)
        window.setBackground("lblTime", 4, refresh % 2 ? 0x00FF00 : 0xFF0000);
    EXPECT_EQ(paintedColours(window, window.control("lblTime", 4)).handle,
              paintedColours(window, window.control("lblTime", 5)).handle);
}

TEST_F(StdWindowTest, NotifyTrayHandsTheShellTheRecordWithTheIconOfFlash1) {
    window.form().InstallTrayIcon();
    ASSERT_EQ(notified.size(), 1u);
    const NOTIFYICONDATAA& record = notified[0].data;
    EXPECT_EQ(notified[0].action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(record.cbSize, NOTIFYICONDATAA_V3_SIZE);
    EXPECT_EQ(record.hWnd, window.hwnd());
    EXPECT_EQ(record.uID, 1u);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_NE(window.flashIcon(0), nullptr);
    EXPECT_NE(window.flashIcon(0), window.flashIcon(1));
    EXPECT_EQ(record.hIcon, window.flashIcon(0));
    EXPECT_STREQ(record.szTip, "Zentrovik Quedrix");

    window.form().ExitProgram();
    ASSERT_GE(notified.size(), 2u);
    EXPECT_EQ(notified[1].action, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(notified[1].data.hWnd, window.hwnd());
    EXPECT_EQ(notified[1].data.uID, 1u);
    EXPECT_GE(processEnds, 1);
}

UINT menuState(HMENU menu, UINT position) {
    return ::GetMenuState(menu, position, MF_BYPOSITION);
}

std::string menuText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return Utf8FromWide(text);
}

// The tray's callback message is the mouse-move message with the icon's id and the mouse code.
TEST_F(AltWindowTest, DoubleClickCodeShowsTheWindowAndStartsTheOneShotTimer) {
    window.form().InstallTrayIcon();
    ::SendMessageW(window.hwnd(), WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(window.hwnd()));
    EXPECT_TRUE(menuState(window.mnu_Poppup(), 0) & MF_GRAYED);
    EXPECT_TRUE(window.timerRunning(MonitorView::Timer::DisplayInfoTimer));
    // Its one tick arrives and stops it.
    EXPECT_TRUE(pumpUntil([&] { return !window.timerRunning(MonitorView::Timer::DisplayInfoTimer); }));
    EXPECT_TRUE(window.timerRunning(MonitorView::Timer::DisplayInfoTimerEx)) << "the minute timer runs on";
}

TEST_F(StdWindowTest, RightButtonCodePopsUpTheMenuWhoseExitEndsTheProcess) {
    window.form().InstallTrayIcon();
    std::vector<std::string> shown;
    window.setMenuTracker([&](HWND owner, HMENU menu, POINT) {
        for (UINT i = 0; i < 3; ++i) {
            const UINT state = menuState(menu, i);
            shown.push_back(
                (state & MF_SEPARATOR) ? "-" : menuText(menu, i) + ((state & MF_GRAYED) ? " greyed" : ""));
        }
        ::PostMessageW(owner, WM_COMMAND, ::GetMenuItemID(menu, 2), 0); // the user picks "Изход"
    });
    ::SendMessageW(window.hwnd(), WM_MOUSEMOVE, 1, WM_RBUTTONUP);
    EXPECT_EQ(shown, (std::vector<std::string>{"Отвори", "-", "Изход"})) << "the window is hidden";
    EXPECT_TRUE(pumpUntil([&] { return processEnds > 0; }));
    EXPECT_EQ(notified.back().action, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(StdWindowTest, OtherCodesAndMovesOverTheWindowDoNothing) {
    window.form().InstallTrayIcon();
    int menus = 0;
    window.setMenuTracker([&](HWND, HMENU, POINT) { ++menus; });
    for (LPARAM code : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_MBUTTONUP})
        ::SendMessageW(window.hwnd(), WM_MOUSEMOVE, 1, code);
    // A real movement over the window: the pointer's place, which may carry the numbers of a code.
    POINT pointer{};
    ::GetCursorPos(&pointer);
    ::ScreenToClient(window.hwnd(), &pointer);
    ::SendMessageW(window.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pointer.x, pointer.y));
    ::SendMessageW(window.hwnd(), WM_MOUSEMOVE, 0, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(::IsWindowVisible(window.hwnd()));
    EXPECT_EQ(menus, 0);
    EXPECT_FALSE(window.timerRunning(MonitorView::Timer::DisplayInfoTimer));
}

// How a mouse-move message with wParam 1 (the icon's id, or MK_LBUTTON) and a code's number in lParam
// reaches the window.
enum class Delivery { DragAlongTopRow, PostedByTray, SentByTray };

struct MoveOrCode {
    const char* name;
    Delivery delivery;
    LPARAM code;
    bool shown;
    int menus;
};

class MoveOrCodeTest : public StdWindowTest, public testing::WithParamInterface<MoveOrCode> {};

TEST_P(MoveOrCodeTest, OnlyTheTraysMessagesCountAsCodes) {
    const MoveOrCode& move = GetParam();
    window.form().InstallTrayIcon();
    int menus = 0;
    window.setMenuTracker([&](HWND, HMENU, POINT) { ++menus; });
    POINT topRow{static_cast<LONG>(move.code), 0};
    ::ClientToScreen(window.hwnd(), &topRow);
    HWND hwnd = window.hwnd();
    switch (move.delivery) {
    case Delivery::DragAlongTopRow:
        // The pointer is there when the move is queued and has gone on when the move is handled.
        ::SetCursorPos(topRow.x, topRow.y);
        ::PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(move.code, 0));
        ::SetCursorPos(topRow.x + 40, topRow.y + 30);
        break;
    case Delivery::PostedByTray: // the pointer is over the icon, away from the window
        ::SetCursorPos(topRow.x + 40, topRow.y + 30);
        ::PostMessageW(hwnd, WM_MOUSEMOVE, 1, move.code);
        break;
    case Delivery::SentByTray:
        std::thread([&] { ::SendNotifyMessageW(hwnd, WM_MOUSEMOVE, 1, move.code); }).join();
        break;
    }
    window.pumpEvents();
    EXPECT_EQ(::IsWindowVisible(hwnd) != FALSE, move.shown);
    EXPECT_EQ(menus, move.menus);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveOrCodeTest,
    testing::Values(MoveOrCode{"DragAt515", Delivery::DragAlongTopRow, WM_LBUTTONDBLCLK, false, 0},
                    MoveOrCode{"DragAt517", Delivery::DragAlongTopRow, WM_RBUTTONUP, false, 0},
                    MoveOrCode{"PostedDoubleClick", Delivery::PostedByTray, WM_LBUTTONDBLCLK, true, 0},
                    MoveOrCode{"PostedRightUp", Delivery::PostedByTray, WM_RBUTTONUP, false, 1},
                    MoveOrCode{"SentDoubleClick", Delivery::SentByTray, WM_LBUTTONDBLCLK, true, 0},
                    MoveOrCode{"SentRightUp", Delivery::SentByTray, WM_RBUTTONUP, false, 1}),
    [](const testing::TestParamInfo<MoveOrCode>& info) { return std::string(info.param.name); });

// The record added again is the form's (tests/monitor); here, that the broadcast reaches it.
TEST_F(StdWindowTest, TheTaskbarsAnnouncementAddsTheIconAgain) {
    window.form().InstallTrayIcon();
    ::SendNotifyMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return notified.size() == 2; }));
    EXPECT_EQ(notified[1].action, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(notified[1].data.hIcon, notified[0].data.hIcon);
}

TEST_F(StdWindowTest, WithoutATaskbarTheTimerTriesAgainUntilTheIconIsIn) {
    shellTakesAdds = false;
    window.form().InstallTrayIcon();
    EXPECT_TRUE(window.timerRunning(MonitorView::Timer::TrayIconRetry));
    shellTakesAdds = true; // the taskbar is up
    EXPECT_TRUE(pumpUntil([&] { return !window.timerRunning(MonitorView::Timer::TrayIconRetry); }));
    EXPECT_EQ(notified.back().action, static_cast<DWORD>(NIM_ADD));
}

// What the shell answers to an add, and to the modify that follows a refused add.
struct AddAnswer {
    const char* name;
    bool add;
    bool modify;
    bool retrying;
};

class AddAnswerTest : public StdWindowTest, public testing::WithParamInterface<AddAnswer> {};

TEST_P(AddAnswerTest, TheIconIsInPlaceWhenTheShellTookItOrHoldsItAlready) {
    const AddAnswer& answer = GetParam();
    window.setNotifyIconCall([&](DWORD action, NOTIFYICONDATAA&) {
        return action == NIM_ADD ? answer.add : action == NIM_MODIFY && answer.modify;
    });
    window.form().InstallTrayIcon();
    EXPECT_EQ(window.timerRunning(MonitorView::Timer::TrayIconRetry), answer.retrying);
}

INSTANTIATE_TEST_SUITE_P(Answers, AddAnswerTest,
                         testing::Values(AddAnswer{"Taken", true, false, false},
                                         AddAnswer{"HeldAlready", false, true, false},
                                         AddAnswer{"NoTaskbar", false, false, true}),
                         [](const testing::TestParamInfo<AddAnswer>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(StdWindowTest, HourglassCoversTheWindowsUntilActivationPutsTheArrowBack) {
    SetHourglass(true);
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_WAIT));
    HWND label = window.control("lblTime", 1);
    EXPECT_TRUE(::SendMessageW(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_WAIT)) << "a control asks its window";

    window.showWindow(); // activated: Form_Activate
    EXPECT_TRUE(pumpUntil([] { return !HourglassShown(); }));
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(StdWindowTest, ButtonsAndCloseReachTheirHandlers) {
    window.form().InstallTrayIcon();
    window.showWindow();
    window.setMenuItemEnabled("mnuSetup", false);
    ::SendMessageW(window.control("btnHide"), BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(window.hwnd()));
    EXPECT_FALSE(menuState(window.mnu_Poppup(), 0) & MF_GRAYED);
    EXPECT_EQ(processEnds, 0);
    ::SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(processEnds, 1);
}

} // namespace

// The watch's calls: the red icon through NIM_MODIFY, the balloon as NIF_INFO in UTF-16 (a Western
// code page has no Cyrillic letters), the timer's tick.
TEST_F(StdWindowTest, TheWatchsAlertIsAModifiedIconAndAnInfoBalloon) {
    std::vector<NOTIFYICONDATAW> balloons;
    window.setBalloonCall([&](NOTIFYICONDATAW& data) {
        balloons.push_back(data);
        return true;
    });
    window.form().InstallTrayIcon();
    int32_t action = NIM_MODIFY;
    NotifyTray(action, AlertIcon);
    window.showBalloon("Zentrovik Quedrix", "Маса 3: времето изтече");
    ASSERT_EQ(notified.size(), 2u);
    EXPECT_EQ(notified[1].action, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_NE(notified[1].data.hIcon, nullptr);
    EXPECT_NE(notified[1].data.hIcon, window.flashIcon(0));
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_EQ(balloons[0].hWnd, window.hwnd());
    EXPECT_STREQ(balloons[0].szInfo, L"Маса 3: времето изтече");
    EXPECT_STREQ(balloons[0].szInfoTitle, L"Zentrovik Quedrix");
    window.startWindowTimer(MonitorView::Timer::WatchTimer, 15000);
    EXPECT_TRUE(window.timerRunning(MonitorView::Timer::WatchTimer));
}
