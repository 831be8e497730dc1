#include "common/Win32Text.h"

#include <windows.h>

namespace {

std::wstring toWide(UINT codePage, std::string_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string fromWide(UINT codePage, std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

} // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
    return toWide(CP_UTF8, utf8);
}

std::string Utf8FromWide(std::wstring_view wide) {
    return fromWide(CP_UTF8, wide);
}

std::string AnsiFromUtf8(std::string_view utf8) {
    return fromWide(CP_ACP, WideFromUtf8(utf8));
}

std::string Utf8FromAnsi(std::string_view ansi) {
    return Utf8FromWide(toWide(CP_ACP, ansi));
}

std::string Win32ErrorText(uint32_t code) {
    char buffer[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                    0, buffer, sizeof buffer, nullptr);
    while (length > 0 &&
           (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' || buffer[length - 1] == ' '))
        --length;
    return length > 0 ? std::string(buffer, length) : "error " + std::to_string(code);
}

std::string Win32Failure(const std::string& what, const std::string& path) {
    const DWORD code = ::GetLastError();
    return what + " " + path + ": " + Win32ErrorText(code) + " (" + std::to_string(code) + ")";
}
