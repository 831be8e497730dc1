// The alternative-mode window's Win32 shell: the controls of its description (a charge label and Start
// button per table among them) and the minute timer.
#pragma once

#include "monitor/BilliardAlt.h"
#include "winui/Win32MonitorWindow.h"

class Win32BilliardAlt : public Win32MonitorWindow {
public:
    explicit Win32BilliardAlt(ControllerFlows& flows);

    BilliardAlt& form() const { return static_cast<BilliardAlt&>(Win32MonitorWindow::form()); }
};
