#include "common/LocaleInfoWin32.h"

#include "common/Win32Text.h"

#include <windows.h>

LocaleInfoQuery SystemLocaleInfo() {
    return [](uint32_t item, char* buffer, int size) {
        const LCID locale = LOWORD(::GetUserDefaultLCID());
        return ::GetLocaleInfoA(locale, item, buffer, size);
    };
}

std::string LocaleText(const LocaleInfoQuery& query, uint32_t item) {
    const int needed = query(item, nullptr, 0);
    if (needed <= 0)
        return "";
    std::string buffer(static_cast<std::size_t>(needed), '\0');
    if (query(item, buffer.data(), needed) <= 0)
        return "";
    buffer.resize(buffer.find('\0') == std::string::npos ? buffer.size() : buffer.find('\0'));
    return Utf8FromAnsi(buffer); // the A call answers in the system's ANSI code page
}
