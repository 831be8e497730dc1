#include "winui/Win32BilliardStd.h"

Win32BilliardStd::Win32BilliardStd(ControllerFlows& flows) : Win32MonitorWindow(MonitorMode::Standard) {
    adopt(std::make_unique<BilliardStd>(*this, flows));
}
