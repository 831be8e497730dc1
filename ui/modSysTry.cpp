#include "modSysTry.h"

#include "Configuration.h"
#include "MainForm.h"
#include "MonitorWindow.h"

#include <QCursor>
#include <QMenu>
#include <QPointer>
#include <QTimer>

NotifyIconData TrayIconData;

namespace {

constexpr uint32_t RecordSize = 504;
// Belongs to MainForm, so it goes with the window.
QPointer<QSystemTrayIcon> trayIcon;

// The tray's activations stand for the mouse messages the window would receive from the tray.
void trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (MainForm == nullptr)
        return;
    const int32_t code = TrayMouseCode(reason);
    TrayWindowProc(MainForm->winId(), TrayCallbackMessage, code, code);
}

void createTrayIcon() {
    trayIcon = new QSystemTrayIcon(MainForm);
    // A StatusNotifier host draws this menu itself and never reports a double-click, so the menu
    // is the way in there. On the XEmbed path Qt pops it up on the right press by itself.
    trayIcon->setContextMenu(MainForm->mnu_Poppup());
    QObject::connect(trayIcon, &QSystemTrayIcon::activated, trayIcon, &trayActivated);
}

// The stand-in for the platform's notification-area call; its result is not examined.
void shellNotifyIcon(int32_t action, const NotifyIconData& data) {
    if (action == NIM_ADD) {
        if (trayIcon.isNull())
            createTrayIcon();
        trayIcon->setIcon(data.hIcon);
        trayIcon->setToolTip(QString::fromStdString(TrayTip()));
        trayIcon->show();
    } else if (action == NIM_DELETE && !trayIcon.isNull()) {
        trayIcon->hide();
    }
}

} // namespace

void NotifyTray(int32_t& action, int16_t icon) {
    TrayIconData.cbSize = RecordSize;
    TrayIconData.hWnd = MainForm->winId();
    TrayIconData.uID = 1;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = WM_MOUSEMOVE;
    TrayIconData.szTip = TrayTipField();
    if (icon >= 0 && icon <= 2)
        TrayIconData.hIcon = MainForm->flashIcon(icon);
    shellNotifyIcon(action, TrayIconData);
}

int32_t TrayWindowProc(WId hWnd, int32_t message, int32_t /*wParam*/, int32_t lParam) {
    if (MainForm == nullptr || hWnd != MainForm->winId() || message != TrayCallbackMessage)
        return 0;
    switch (lParam) {
    case WM_LBUTTONDBLCLK:
        MainForm->mnuSetup()->setEnabled(false);
        MainForm->DisplayInfoTimer()->start();
        MainForm->showWindow();
        break;
    case WM_RBUTTONUP:
        // On the XEmbed path Qt has already popped the menu up on the press: one menu only.
        if (!MainForm->mnu_Poppup()->isVisible())
            MainForm->mnu_Poppup()->popup(QCursor::pos());
        break;
    default:
        break;
    }
    return 0;
}

int32_t TrayMouseCode(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return WM_LBUTTONDBLCLK;
    case QSystemTrayIcon::Context:
        return WM_RBUTTONUP;
    case QSystemTrayIcon::Trigger:
        return WM_LBUTTONUP;
    case QSystemTrayIcon::MiddleClick:
        return WM_MBUTTONUP;
    default:
        return WM_MOUSEMOVE;
    }
}

QSystemTrayIcon* TrayIcon() {
    return trayIcon;
}
