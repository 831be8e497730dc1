#include "tests/support/ScopedLocale.h"

std::string PlatformLocaleName(const std::string& posixName) {
    return posixName;
}
