// What each shell (Qt, Win32) supplies to start-up: the window object of the mode.
#pragma once

#include "MonitorMode.h"

#include <functional>

class ControllerFlows;
class MonitorWindow;

// Makes the window of the mode, not yet loaded, over the shell's own controls. Every controller flow
// runs through flows. When the window ends the process, beforeEnd runs first (start-up gives up the
// instance lock in it), then the standard streams are flushed and the process ends on the spot.
MonitorWindow* CreateMonitorWindow(MonitorMode mode, ControllerFlows& flows, std::function<void()> beforeEnd);
