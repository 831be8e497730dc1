// The user's date and time separators from the Windows regional settings.
#include "errlog/DateTimePattern.h"

#include "common/LocaleInfoWin32.h"

#include <windows.h>

namespace {

std::string separator(uint32_t item, const char* fallback) {
    const std::string text = LocaleText(SystemLocaleInfo(), item);
    return text.empty() ? fallback : text;
}

} // namespace

DateTimeSeparators UserDateTimeSeparators() {
    return {separator(LOCALE_SDATE, "/"), separator(LOCALE_STIME, ":")};
}
