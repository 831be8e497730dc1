#include "app/modMain.h"

#include "app/CommandLine.h"
#include "app/LanguageRegistration.h"
#include "app/SingleInstance.h"
#include "common/AppFolder.h"
#include "common/Common.h"
#include "common/Configuration.h"
#include "common/WatchSettings.h"
#include "controller/ControllerFlows.h"
#include "errlog/RegisterBuildInfo.h"
#include "monitor/Hourglass.h"
#include "monitor/MainForm.h"
#include "monitor/MonitorShell.h"
#include "monitor/MonitorWindow.h"
#include "monitor/SystemClock.h"

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
        MainForm->enableWatch(watch, AppFilePath("Ledger.csv"), AppFilePath("Watch.state"),
                              SystemClock::instance());
    MainForm->loadHidden();
    return true;
}
