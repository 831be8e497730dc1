#include "modMain.h"

#include "BilliardAlt.h"
#include "BilliardStd.h"
#include "CommandLine.h"
#include "Common.h"
#include "Configuration.h"
#include "ControllerFlows.h"
#include "Hourglass.h"
#include "LanguageRegistration.h"
#include "MainForm.h"
#include "RegisterBuildInfo.h"
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// The words after the program's name, once Qt has taken its own options away.
std::vector<std::string> commandLineArguments() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(all[i].toStdString());
    return arguments;
}

// The window object of the mode; its window is loaded later. Every controller flow of the process
// runs through the one queue of flows.
MonitorWindow* createMonitorWindow(MonitorMode mode) {
    static ControllerFlows flows;
    MonitorWindow* window = nullptr;
    if (mode == MonitorMode::Alternative)
        window = new BilliardAlt(flows);
    else
        window = new BilliardStd(flows);
    // The process ends without its static destructors, so the lock is given up before.
    window->setProcessEnd([] {
        ReleaseInstanceLock();
        MonitorWindow::endProcessNow();
    });
    return window;
}

} // namespace

bool Main() {
    SetHourglass(true);
    RegisterBuildInfo();
    GetDecimalSeparator(); // asked for, not used
    ReadDateSettings();
    MainForm = createMonitorWindow(ModeFromArguments(commandLineArguments()));
    SetHourglass(true);
    ApplyStartUpLanguage();
    LoadConfiguration();
    if (AnotherInstanceRuns()) {
        SetHourglass(false);
        return false;
    }
    MainForm->loadHidden();
    return true;
}
