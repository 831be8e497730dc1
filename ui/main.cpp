// quedrix: creates the monitor window, loads it hidden (discovery, tray icon) and runs the event loop.
#include "Billiard.h"
#include "BilliardStd.h"
#include "ControllerFlows.h"
#include "FPSerial.h"
#include "MainForm.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The program ends through its own exit paths, never because its window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/Flash1.png")));
    ControllerSerial().setPumpEvents([] { QCoreApplication::processEvents(); });

    static ControllerFlows flows;
    MainForm = new BilliardStd(flows);
    MainForm->loadHidden();
    return QApplication::exec();
}
