// The smallest Qt tray program: one window and one tray icon, nothing else. bench/footprint.sh sets the
// program's figures beside this one's; a double-click on the icon shows the window.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Minimal tray");
    window.resize(420, 200);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    QSystemTrayIcon icon{QIcon(pixmap)};
    QObject::connect(&icon, &QSystemTrayIcon::activated, [&](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            window.show();
    });
    icon.show();
    return app.exec();
}
