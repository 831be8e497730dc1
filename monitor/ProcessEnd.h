// The end of the process as the monitor windows end it: at once, with nothing left to run.
#pragma once

// Flushes the standard streams and ends the process on the spot: no further event handler, static
// destructor or exit handler runs.
[[noreturn]] void EndProcessNow();
