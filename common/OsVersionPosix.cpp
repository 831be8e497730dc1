#include "common/OsVersion.h"

// Not a Windows system: the platform is "other", which has no name.
OsVersion QueryOsVersion() {
    return OsVersion{};
}
