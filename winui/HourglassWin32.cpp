#include "monitor/Hourglass.h"

#include "winui/Win32Hourglass.h"

namespace {
bool hourglassShown = false;
}

void SetHourglass(bool on) {
    if (on == hourglassShown)
        return;
    hourglassShown = on;
    // At once under the pointer; the windows keep it there on every WM_SETCURSOR.
    ::SetCursor(ProgramCursor());
}

bool HourglassShown() {
    return hourglassShown;
}

HCURSOR ProgramCursor() {
    return ::LoadCursorA(nullptr, hourglassShown ? IDC_WAIT : IDC_ARROW);
}
