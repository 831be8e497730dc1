#include "monitor/MonitorShell.h"

#include "ui/QtBilliardAlt.h"
#include "ui/QtBilliardStd.h"

MonitorWindow* CreateMonitorWindow(MonitorMode mode, ControllerFlows& flows) {
    if (mode == MonitorMode::Alternative)
        return &(new QtBilliardAlt(flows))->form();
    return &(new QtBilliardStd(flows))->form();
}
