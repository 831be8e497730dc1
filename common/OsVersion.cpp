#include "common/OsVersion.h"

namespace {

constexpr int kWindows9x = 1;
constexpr int kWindowsNt = 2;

std::string windows9xName(int minor) {
    switch (minor) {
    case 0:
        return "Windows 95";
    case 10:
        return "Windows 98";
    case 90:
        return "Windows ME";
    default:
        return "";
    }
}

std::string windowsNtName(int major, int minor) {
    if (major <= 4)
        return "Windows NT";
    if (major == 5 && minor == 0)
        return "Windows 2000";
    if (major == 5 && minor == 1)
        return "Windows XP";
    return "";
}

} // namespace

std::string OsVersionName(int platform, int major, int minor) {
    if (platform == kWindows9x)
        return windows9xName(minor);
    if (platform == kWindowsNt)
        return windowsNtName(major, minor);
    return "";
}
