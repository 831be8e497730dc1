// What each shell (Qt, Win32) supplies to start-up: the window object of the mode.
#pragma once

#include "monitor/MonitorMode.h"

class ControllerFlows;
class MonitorWindow;

// Makes the window of the mode, not yet loaded, over the shell's own controls, which end the process
// with EndProcessNow. Every controller flow runs through flows.
MonitorWindow* CreateMonitorWindow(MonitorMode mode, ControllerFlows& flows);
