// The application-wide wait pointer shown while the program is busy; each shell defines it.
#pragma once

// on: every window of the program shows the wait pointer (once, however often asked);
// off: one call puts the normal pointer back.
void SetHourglass(bool on);
