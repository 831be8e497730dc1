// The ui test runner: a QApplication on the offscreen platform unless another is asked for.
#include <QApplication>
#include <QString>

#include <gtest/gtest.h>

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform has no window stacking, keyboard grab or tray: its notices about them
// would bury the tests' own output.
void quietOffscreenNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QStringLiteral("This plugin does not support")) ||
        message.contains(QStringLiteral("systemTrayWindowChanged")))
        return;
    defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(quietOffscreenNotices);
    QApplication app(argc, argv);
    // As in the program: only its own exit paths end it.
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
