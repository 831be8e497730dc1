// MainForm: the one monitor window of the process, set once at start-up.
#pragma once

class MonitorWindow;

extern MonitorWindow* MainForm;
