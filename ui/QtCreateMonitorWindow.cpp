#include "MonitorShell.h"

#include "QtBilliardAlt.h"
#include "QtBilliardStd.h"

MonitorWindow* CreateMonitorWindow(MonitorMode mode, ControllerFlows& flows,
                                   std::function<void()> beforeEnd) {
    QtMonitorWindow* shell = nullptr;
    if (mode == MonitorMode::Alternative)
        shell = new QtBilliardAlt(flows);
    else
        shell = new QtBilliardStd(flows);
    shell->setProcessEnd([beforeEnd = std::move(beforeEnd)] {
        beforeEnd();
        QtMonitorWindow::endProcessNow();
    });
    return &shell->form();
}
