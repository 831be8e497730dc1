// The operating system's version as the platform reports it, and the name the program gives it.
#pragma once

#include <string>

struct OsVersion {
    int platform = -1; // 1: the Windows 9x family, 2: the NT family, anything else: other systems
    int major = 0;
    int minor = 0;
};

OsVersion QueryOsVersion();

// "Windows 95" ... "Windows XP", or "" for versions the program does not name.
std::string OsVersionName(int platform, int major, int minor);
