#include "common/IniEncoding.h"

#include <algorithm>

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

char32_t unitAt(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]) |
           static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out += static_cast<char>(kLead[continuations] | (c >> (6 * continuations)));
    for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6)
        out += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
}

void appendUnit(std::string& out, char32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
}

// UTF-16LE to UTF-8. A lone surrogate becomes the three bytes its value would take, so the text
// converts back to the very same units.
std::string utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit = unitAt(bytes, i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unitAt(bytes, i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendUtf8(out, unit);
    }
    return out;
}

// The character that starts text[i] and its length in bytes; a malformed sequence is one
// replacement character per byte.
std::pair<char32_t, std::size_t> utf8CharacterAt(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80       ? 1
                               : lead >> 5 == 6  ? 2
                               : lead >> 4 == 14 ? 3
                               : lead >> 3 == 30 ? 4
                                                 : 0;
    if (length == 0 || i + length > text.size())
        return {kReplacement, 1};
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(text[i + k]))
            return {kReplacement, 1};
        c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    return {c > 0x10FFFF ? kReplacement : c, length};
}

// UTF-8 text as UTF-16LE units; a lone surrogate's three bytes give its unit back.
void appendUtf16Le(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto [c, length] = utf8CharacterAt(text, i);
        if (c >= 0x10000) {
            appendUnit(out, 0xD800 + ((c - 0x10000) >> 10));
            appendUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            appendUnit(out, c);
        }
        i += length;
    }
}

// The first maxChars characters of UTF-8 text.
std::string_view firstCharacters(std::string_view utf8, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i)
        if (!isContinuation(utf8[i]) && chars++ == maxChars)
            return utf8.substr(0, i);
    return utf8;
}

const CodePage& utf8Page() {
    static const CodePage page = *CodePage::open("UTF-8");
    return page;
}

} // namespace

IniEncoding IniEncoding::of(std::string_view fileBytes) {
    if (fileBytes.starts_with(kUtf8Mark))
        return {Kind::Utf8, utf8Page(), std::nullopt};
    if (fileBytes.starts_with(kUtf16LeMark)) {
        const bool odd = fileBytes.size() % 2 != 0;
        return {Kind::Utf16Le, utf8Page(), odd ? std::optional(fileBytes.back()) : std::nullopt};
    }
    return {Kind::AnsiCodePage, CodePage::active(), std::nullopt};
}

std::string IniEncoding::documentText(std::string fileBytes) const {
    switch (m_kind) {
    case Kind::AnsiCodePage:
        return fileBytes;
    case Kind::Utf8:
        fileBytes.erase(0, kUtf8Mark.size()); // in place: no second copy of a large file
        return fileBytes;
    case Kind::Utf16Le:
        return utf16LeToUtf8(std::string_view(fileBytes).substr(kUtf16LeMark.size()));
    }
    return fileBytes;
}

std::string IniEncoding::fileBytes(std::string documentText) const {
    switch (m_kind) {
    case Kind::AnsiCodePage:
        return documentText;
    case Kind::Utf8: {
        std::string bytes;
        bytes.reserve(kUtf8Mark.size() + documentText.size()); // exact: no doubling of a large file
        bytes.append(kUtf8Mark).append(documentText);
        return bytes;
    }
    case Kind::Utf16Le: {
        std::string bytes;
        bytes.reserve(kUtf16LeMark.size() + 2 * documentText.size() + 1); // enough for any text
        bytes.append(kUtf16LeMark);
        appendUtf16Le(bytes, documentText);
        if (m_oddByte)
            bytes += *m_oddByte;
        return bytes;
    }
    }
    return documentText;
}

std::string IniEncoding::toDocument(std::string_view utf8) const {
    return m_page.toEightBit(utf8);
}

std::string IniEncoding::fromDocument(std::string_view text, std::size_t maxChars) const {
    std::string value(m_kind == Kind::AnsiCodePage ? text.substr(0, maxChars)
                                                   : firstCharacters(text, maxChars));
    std::erase(value, '\0');
    return m_page.toUtf8(value);
}
