#include "MainForm.h"

MonitorWindow* MainForm = nullptr;
