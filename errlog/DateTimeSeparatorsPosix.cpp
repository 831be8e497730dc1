// The date and time separators of the process locale, taken from its strftime formats.
#include "errlog/DateTimePattern.h"

#include <cctype>
#include <langinfo.h>

namespace {

// The first character after a conversion that is neither a conversion nor a letter or digit,
// e.g. "." in "%d.%m.%Y"; the fall-back when the format has none.
std::string separatorIn(const char* format, const char* fallback) {
    if (format == nullptr)
        return fallback;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p == '%') {
            if (*++p == '\0')
                break;
            continue;
        }
        if (std::isalnum(static_cast<unsigned char>(*p)) == 0 && *p != ' ')
            return std::string(1, *p);
    }
    return fallback;
}

} // namespace

DateTimeSeparators UserDateTimeSeparators() {
    return {separatorIn(nl_langinfo(D_FMT), "/"), separatorIn(nl_langinfo(T_FMT), ":")};
}
