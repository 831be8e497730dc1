#include "common/RegionalSettings.h"

#include <clocale>
#include <langinfo.h>

std::string UserDecimalSeparator() {
    const std::lconv* conventions = std::localeconv();
    return conventions && conventions->decimal_point ? conventions->decimal_point : "";
}

std::string UserShortDatePattern() {
    const char* pattern = ::nl_langinfo(D_FMT);
    return pattern ? WindowsDatePattern(pattern) : "";
}
