// quedrix: the application object, the start-up, then the window events until the program ends itself.
#include "modMain.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    // Made before start-up: it takes Qt's own options (-platform, -style, ...) off the command line
    // before the mode is read from it, and on Unix it sets the process locale from the environment,
    // where start-up reads the decimal separator and the short-date pattern.
    QApplication app(argc, argv);
    // The program ends through its own exit paths, never because its window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/Flash1.png")));

    if (!Main())
        return 0; // an earlier copy runs
    return QApplication::exec();
}
