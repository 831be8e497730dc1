#include "common/OsVersion.h"

#include <windows.h>

// The version record the system hands to programs without a compatibility manifest.
OsVersion QueryOsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info; // 148
    if (!::GetVersionExA(&info))
        return OsVersion{};
    return OsVersion{static_cast<int>(info.dwPlatformId), static_cast<int>(info.dwMajorVersion),
                     static_cast<int>(info.dwMinorVersion)};
}
