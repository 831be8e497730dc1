// The standard-mode window's Win32 shell: the shared controls plus a reset button per table.
#pragma once

#include "BilliardStd.h"
#include "Win32MonitorWindow.h"

class Win32BilliardStd : public Win32MonitorWindow {
public:
    explicit Win32BilliardStd(ControllerFlows& flows);

    BilliardStd& form() const { return static_cast<BilliardStd&>(Win32MonitorWindow::form()); }
};
