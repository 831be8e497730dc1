#include "ui/QtTrayIcon.h"

#include "monitor/MainForm.h"
#include "monitor/MonitorWindow.h"
#include "monitor/modSysTry.h"

#include <QPointer>
#include <QWidget>

namespace {

// Belongs to its owner window, so it goes with the window.
QPointer<QSystemTrayIcon> trayIcon;

// The tray's activations stand for the mouse messages the window would receive from the tray.
void trayActivated(QSystemTrayIcon::ActivationReason reason) {
    if (MainForm == nullptr)
        return;
    const int32_t code = TrayMouseCode(reason);
    TrayWindowProc(MainForm->view().windowHandle(), TrayCallbackMessage, code, code);
}

} // namespace

void ShowTrayIcon(QWidget* owner, QMenu* menu, const QIcon& icon, const QString& tip) {
    if (trayIcon.isNull()) {
        trayIcon = new QSystemTrayIcon(owner);
        // A StatusNotifier host draws this menu itself and never reports a double-click, so the menu
        // is the way in there. On the XEmbed path Qt pops it up on the right press by itself.
        trayIcon->setContextMenu(menu);
        QObject::connect(trayIcon, &QSystemTrayIcon::activated, trayIcon, &trayActivated);
    }
    trayIcon->setIcon(icon);
    trayIcon->setToolTip(tip);
    trayIcon->show();
}

void HideTrayIcon() {
    if (!trayIcon.isNull())
        trayIcon->hide();
}

void SetTrayIconPicture(const QIcon& icon) {
    if (!trayIcon.isNull())
        trayIcon->setIcon(icon);
}

void ShowTrayMessage(const QString& title, const QString& text) {
    if (!trayIcon.isNull())
        trayIcon->showMessage(title, text, QSystemTrayIcon::Warning);
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
