// The program's icon in the notification area as Qt shows it, and its activations as tray mouse codes.
#pragma once

#include <QIcon>
#include <QSystemTrayIcon>

#include <cstdint>

class QMenu;
class QWidget;

// Shows the icon with that picture and tip, made once with owner as its parent and menu as its
// context menu; its activations go to TrayWindowProc as MainForm's tray mouse codes.
void ShowTrayIcon(QWidget* owner, QMenu* menu, const QIcon& icon, const QString& tip);
// Takes the icon out of the notification area, when there is one.
void HideTrayIcon();
// Changes the picture of the icon, when there is one.
void SetTrayIconPicture(const QIcon& icon);
// A notification from the icon, when there is one.
void ShowTrayMessage(const QString& title, const QString& text);

// The mouse code that stands for a tray activation.
int32_t TrayMouseCode(QSystemTrayIcon::ActivationReason reason);

// The icon in the notification area; null before the first NIM_ADD.
QSystemTrayIcon* TrayIcon();
