// Code pages through MultiByteToWideChar and WideCharToMultiByte; the system's ANSI code page by default.
#include "common/CodePagePlatform.h"

#include <windows.h>

#include <cctype>
#include <map>

namespace {

constexpr UINT kUtf8 = CP_UTF8;
constexpr wchar_t kReplacement = 0xFFFD;

// Names that the system has no lookup for, folded: upper case, without '-' and '_'.
const std::map<std::string, UINT> kNamedPages = {
    {"UTF8", CP_UTF8}, {"KOI8R", 20866}, {"KOI8U", 21866}, {"ASCII", 20127}, {"USASCII", 20127},
};

std::string folded(const std::string& name) {
    std::string out;
    for (char c : name)
        if (c != '-' && c != '_')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::optional<UINT> numberIn(const std::string& digits) {
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return static_cast<UINT>(std::stoul(digits));
}

std::optional<UINT> pageNamed(const std::string& name) {
    const std::string key = folded(name);
    if (const auto named = kNamedPages.find(key); named != kNamedPages.end())
        return named->second;
    for (const char* prefix : {"CP", "WINDOWS"})
        if (key.rfind(prefix, 0) == 0)
            return numberIn(key.substr(std::string(prefix).size()));
    if (key.rfind("ISO8859", 0) == 0) {
        const auto part = numberIn(key.substr(7));
        return part && *part >= 1 && *part <= 15 ? std::optional<UINT>(28590 + *part) : std::nullopt;
    }
    return numberIn(key);
}

UINT pageOf(const std::string& identifier) {
    return static_cast<UINT>(std::stoul(identifier));
}

// An incomplete UTF-8 sequence at the very end is dropped rather than replaced.
std::string_view withoutIncompleteTail(std::string_view utf8) {
    std::size_t start = utf8.size();
    for (std::size_t back = 1; back <= 3 && back <= utf8.size(); ++back) {
        const auto c = static_cast<unsigned char>(utf8[utf8.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (length > back)
            start = utf8.size() - back;
        break;
    }
    return utf8.substr(0, start);
}

// Malformed UTF-8 reads as one '?' per bad sequence (a lead byte and the continuation bytes after
// it), as iconv reads it on POSIX systems; the system judges each sequence.
std::string wellFormedUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out += text[i++];
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (length > 1 && i + length <= text.size() &&
            ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data() + i, static_cast<int>(length),
                                  nullptr, 0) > 0) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        std::size_t bad = 1;
        while (i + bad < text.size() && bad < 4 && (static_cast<unsigned char>(text[i + bad]) & 0xC0) == 0x80)
            ++bad;
        out += '?';
        i += bad;
    }
    return out;
}

std::wstring toWide(UINT page, std::string_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(page, 0, text.data(), size, nullptr, 0)),
                      L'\0');
    ::MultiByteToWideChar(page, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// Bytes an 8-bit page leaves undefined decode to C1 controls (or U+FFFD): they read as '?'.
std::wstring decoded(UINT page, std::string_view text) {
    if (page == kUtf8)
        return toWide(page, wellFormedUtf8(withoutIncompleteTail(text)));
    std::wstring wide = toWide(page, text);
    for (wchar_t& c : wide)
        if (c == kReplacement || (c >= 0x80 && c <= 0x9F))
            c = L'?';
    return wide;
}

std::string encoded(UINT page, const std::wstring& wide) {
    if (wide.empty())
        return {};
    // UTF-8 takes neither flags nor a default character; every other page marks what it lacks with '?'.
    const DWORD flags = page == kUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = page == kUtf8 ? nullptr : "?";
    const int size = static_cast<int>(wide.size());
    std::string text(static_cast<std::size_t>(::WideCharToMultiByte(page, flags, wide.data(), size, nullptr,
                                                                    0, fallback, nullptr)),
                     '\0');
    ::WideCharToMultiByte(page, flags, wide.data(), size, text.data(), static_cast<int>(text.size()),
                          fallback, nullptr);
    return text;
}

} // namespace

namespace CodePagePlatform {

std::optional<std::string> identifierFor(const std::string& name) {
    const std::optional<UINT> page = pageNamed(name);
    if (!page || *page == CP_ACP || !::IsValidCodePage(*page))
        return std::nullopt;
    return std::to_string(*page);
}

std::string defaultIdentifier() {
    return std::to_string(::GetACP());
}

const char* defaultDescription() {
    return "the system's ANSI code page";
}

std::string toEightBit(const std::string& identifier, std::string_view utf8) {
    return encoded(pageOf(identifier), decoded(kUtf8, utf8));
}

std::string toUtf8(const std::string& identifier, std::string_view eightBit) {
    return encoded(kUtf8, decoded(pageOf(identifier), eightBit));
}

} // namespace CodePagePlatform
