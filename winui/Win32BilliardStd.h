// The standard-mode window's Win32 shell: its described controls, a reset button per table among them.
// them.
#pragma once

#include "monitor/BilliardStd.h"
#include "winui/Win32MonitorWindow.h"

class Win32BilliardStd : public Win32MonitorWindow {
public:
    explicit Win32BilliardStd(ControllerFlows& flows);

    BilliardStd& form() const { return static_cast<BilliardStd&>(Win32MonitorWindow::form()); }
};
