#include "MonitorShell.h"

#include "Win32BilliardAlt.h"
#include "Win32BilliardStd.h"

MonitorWindow* CreateMonitorWindow(MonitorMode mode, ControllerFlows& flows,
                                   std::function<void()> beforeEnd) {
    Win32MonitorWindow* shell = nullptr;
    if (mode == MonitorMode::Alternative)
        shell = new Win32BilliardAlt(flows);
    else
        shell = new Win32BilliardStd(flows);
    shell->setProcessEnd([beforeEnd = std::move(beforeEnd)] {
        beforeEnd();
        Win32MonitorWindow::endProcessNow();
    });
    return &shell->form();
}
