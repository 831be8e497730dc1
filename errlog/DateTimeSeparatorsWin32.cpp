// The user's date and time separators from the Windows regional settings.
#include "DateTimePattern.h"

#include <windows.h>

namespace {

std::string localeText(LCTYPE item, const char* fallback) {
    char buffer[8] = {};
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, sizeof buffer);
    return length > 1 ? std::string(buffer, static_cast<size_t>(length - 1)) : fallback;
}

} // namespace

DateTimeSeparators UserDateTimeSeparators() {
    return {localeText(LOCALE_SDATE, "/"), localeText(LOCALE_STIME, ":")};
}
