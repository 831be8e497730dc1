#include "MonitorShell.h"

#include "QtBilliardAlt.h"
#include "QtBilliardStd.h"

MonitorWindow* CreateMonitorWindow(MonitorMode mode, ControllerFlows& flows) {
    if (mode == MonitorMode::Alternative)
        return &(new QtBilliardAlt(flows))->form();
    return &(new QtBilliardStd(flows))->form();
}
