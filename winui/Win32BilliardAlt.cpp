#include "winui/Win32BilliardAlt.h"

Win32BilliardAlt::Win32BilliardAlt(ControllerFlows& flows) : Win32MonitorWindow(MonitorMode::Alternative) {
    onTimer(Timer::DisplayInfoTimerEx, [this] { form().DisplayInfoTimerEx_Timer(); });
    // The behaviour starts the minute timer as it is made.
    adopt(std::make_unique<BilliardAlt>(*this, flows));
}
