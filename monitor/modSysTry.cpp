#include "monitor/modSysTry.h"

#include "common/Configuration.h"
#include "monitor/MainForm.h"
#include "monitor/MonitorView.h"
#include "monitor/MonitorWindow.h"

NotifyIconData TrayIconData;

namespace {
constexpr uint32_t RecordSize = 504;
}

bool NotifyTray(int32_t& action, int16_t icon) {
    MonitorView& view = MainForm->view();
    TrayIconData.cbSize = RecordSize;
    TrayIconData.hWnd = view.windowHandle();
    TrayIconData.uID = 1;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = WM_MOUSEMOVE;
    TrayIconData.szTip = TrayTipField();
    if (icon >= 0 && icon <= AlertIcon)
        TrayIconData.hIcon = icon;
    return view.shellNotifyIcon(action, TrayIconData);
}

int32_t TrayWindowProc(uintptr_t hWnd, int32_t message, int32_t /*wParam*/, int32_t lParam) {
    if (MainForm == nullptr || hWnd != MainForm->view().windowHandle() || message != TrayCallbackMessage)
        return 0;
    MonitorView& view = MainForm->view();
    switch (lParam) {
    case WM_LBUTTONDBLCLK:
        view.setMenuItemEnabled("mnuSetup", false);
        view.startWindowTimer(MonitorView::Timer::DisplayInfoTimer, MonitorWindow::DisplayInfoIntervalMs);
        view.showWindow();
        break;
    case WM_RBUTTONUP:
        view.popUpMenu();
        break;
    default:
        break;
    }
    return 0;
}
