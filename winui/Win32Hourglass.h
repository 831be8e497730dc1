// The state of the application-wide wait pointer (SetHourglass), which the windows show over
// themselves while it is on.
#pragma once

#include <windows.h>

bool HourglassShown();
// The pointer every window of the program shows now: the hourglass or the arrow.
HCURSOR ProgramCursor();
