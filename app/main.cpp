// quedrix: the application object, the start-up, then the window events until the program ends itself.
#include "app/modMain.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

int main(int argc, char* argv[]) {
    // Made before start-up: it takes Qt's own options (-platform, -style, ...) off the command line
    // before the mode is read from it, and on Unix it sets the process locale from the environment,
    // where start-up reads the decimal separator and the short-date pattern.
    QApplication app(argc, argv);
    // The program ends through its own exit paths, never because its window was hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/Flash1.png")));

    // The words after the program's name, once Qt has taken its own options away.
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(all[i].toStdString());
    if (!Main(arguments))
        return 0; // an earlier copy runs
    return QApplication::exec();
}
