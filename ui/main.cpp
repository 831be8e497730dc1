// quedrix: creates the monitor window, loads it hidden (discovery, tray icon) and runs the event loop.
#include "Billiard.h"
#include "BilliardAlt.h"
#include "BilliardStd.h"
#include "ControllerFlows.h"
#include "FPSerial.h"
#include "MainForm.h"

#include <QApplication>
#include <QStringList>

namespace {

// The mode: the words after the program name, upper-cased, "ALT" for the alternative window.
MonitorWindow* createMainForm(ControllerFlows& flows) {
    const QString mode = QCoreApplication::arguments().mid(1).join(QLatin1Char(' ')).toUpper();
    if (mode == QStringLiteral("ALT"))
        return new BilliardAlt(flows);
    return new BilliardStd(flows);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The program ends through its own exit paths, never because its window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/Flash1.png")));
    ControllerSerial().setPumpEvents([] { QCoreApplication::processEvents(); });

    static ControllerFlows flows;
    MainForm = createMainForm(flows);
    MainForm->loadHidden();
    return QApplication::exec();
}
