#include "monitor/MainForm.h"

MonitorWindow* MainForm = nullptr;
