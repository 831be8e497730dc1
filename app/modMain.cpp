#include "modMain.h"

#include "AppFolder.h"
#include "CommandLine.h"
#include "Common.h"
#include "Configuration.h"
#include "ControllerFlows.h"
#include "Hourglass.h"
#include "LanguageRegistration.h"
#include "MainForm.h"
#include "MonitorShell.h"
#include "MonitorWindow.h"
#include "RegisterBuildInfo.h"
#include "SingleInstance.h"
#include "SystemClock.h"
#include "WatchSettings.h"

bool Main(const std::vector<std::string>& arguments) {
    SetHourglass(true);
    RegisterBuildInfo();
    GetDecimalSeparator(); // asked for, not used
    ReadDateSettings();
    // Every controller flow of the process runs through the one queue of flows. The process ends
    // without its static destructors, so the lock is given up before.
    static ControllerFlows flows;
    MainForm = CreateMonitorWindow(ModeFromArguments(arguments), flows);
    MainForm->setBeforeProcessEnd(&ReleaseInstanceLock);
    SetHourglass(true);
    ApplyStartUpLanguage();
    LoadConfiguration();
    if (AnotherInstanceRuns()) {
        SetHourglass(false);
        return false;
    }
    // Switched on in Quedrix.cfg only; after the instance lock, so one copy alone keeps the files.
    if (const WatchSettings watch = ReadWatchSettings(AppConfig.CfgFile); watch.enabled)
        MainForm->enableWatch(watch, AppFilePath("Ledger.csv"), AppFilePath("Watch.state"), SystemClock::instance());
    MainForm->loadHidden();
    return true;
}
