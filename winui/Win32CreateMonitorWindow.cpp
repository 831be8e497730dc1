#include "monitor/MonitorShell.h"

#include "winui/Win32BilliardAlt.h"
#include "winui/Win32BilliardStd.h"

MonitorWindow* CreateMonitorWindow(MonitorMode mode, ControllerFlows& flows) {
    if (mode == MonitorMode::Alternative)
        return &(new Win32BilliardAlt(flows))->form();
    return &(new Win32BilliardStd(flows))->form();
}
