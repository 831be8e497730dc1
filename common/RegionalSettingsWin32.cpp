#include "common/RegionalSettings.h"

#include "common/LocaleInfoWin32.h"

#include <windows.h>

std::string UserDecimalSeparator() {
    return LocaleText(SystemLocaleInfo(), LOCALE_SDECIMAL);
}

// Windows keeps the pattern in its own letters already.
std::string UserShortDatePattern() {
    return LocaleText(SystemLocaleInfo(), LOCALE_SSHORTDATE);
}
