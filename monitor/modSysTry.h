// modSysTry: the program's icon in the notification area and the dispatch of its mouse codes.
#pragma once

#include <array>
#include <cstdint>

// Actions of NotifyTray.
constexpr int32_t NIM_ADD = 0;
constexpr int32_t NIM_MODIFY = 1;
constexpr int32_t NIM_DELETE = 2;
// Parts of the record that NotifyTray sets.
constexpr uint32_t NIF_MESSAGE = 1;
constexpr uint32_t NIF_ICON = 2;
constexpr uint32_t NIF_TIP = 4;
// Mouse codes the tray reports, and the message that carries them to TrayWindowProc.
constexpr int32_t WM_MOUSEMOVE = 512;
constexpr int32_t WM_LBUTTONUP = 514;
constexpr int32_t WM_LBUTTONDBLCLK = 515;
constexpr int32_t WM_RBUTTONUP = 517;
constexpr int32_t WM_MBUTTONUP = 520;
constexpr int32_t TrayCallbackMessage = 1025;

// The process-wide notification-area record.
struct NotifyIconData {
    uint32_t cbSize = 0;
    uintptr_t hWnd = 0;
    uint32_t uID = 0;
    uint32_t uFlags = 0;
    uint32_t uCallbackMessage = 0;
    int32_t hIcon = -1;            // the icon choice 0..3 (Flash1..Flash3, AlertIcon); the shell holds the pictures
    std::array<char, 128> szTip{}; // the caption, a NUL and blanks, as SetTrayTip left it
    uint32_t dwState = 0;
    uint32_t dwStateMask = 0;
    std::array<char, 256> szInfo{};
    uint32_t uTimeout = 0;
    std::array<char, 64> szInfoTitle{};
    uint32_t dwInfoFlags = 0;
    std::array<uint8_t, 16> guidItem{};
};

extern NotifyIconData TrayIconData;

// The icon choice beyond Flash1..Flash3: the red icon the watch shows while a table's time is up.
constexpr int16_t AlertIcon = 3;

// Fills TrayIconData for MainForm with icon choice 0..3 (Flash1..Flash3, AlertIcon; any other value
// keeps the icon) and adds (NIM_ADD), changes (NIM_MODIFY) or removes (NIM_DELETE) the tray icon;
// whether the platform did it.
bool NotifyTray(int32_t& action, int16_t icon);

// Acts on a tray mouse code sent to MainForm with message 1025: 515 brings the window up, 517 pops
// up its menu at the mouse position; everything else is ignored. Returns 0.
int32_t TrayWindowProc(uintptr_t hWnd, int32_t message, int32_t wParam, int32_t lParam);
