// The resource ids of the Win32 shell: the three tray icons Flash1 to Flash3, in this order, and the
// watch's alert icon.
#pragma once

#define IDI_FLASH1 101
#define IDI_FLASH2 102
#define IDI_FLASH3 103
#define IDI_FLASHALERT 104
