// How an INI-style file holds its text: in the ANSI code page, or in UTF-8 or UTF-16LE after a byte-order
// mark.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/CodePage.h"

class IniEncoding {
public:
    enum class Kind { AnsiCodePage, Utf8, Utf16Le };

    // The encoding the file's first bytes announce; a file without a mark (or no file) is in the
    // code page in force.
    static IniEncoding of(std::string_view fileBytes);

    Kind kind() const { return m_kind; }

    // The file's bytes as the 8-bit text an IniDocument works on (mark removed, UTF-16 as UTF-8),
    // and that text back as the file's bytes; the round trip gives the same bytes.
    std::string documentText(std::string fileBytes) const;
    std::string fileBytes(std::string documentText) const;

    // A name or value (UTF-8) as the document's text; malformed input becomes '?'.
    std::string toDocument(std::string_view utf8) const;
    // A value of the document as UTF-8: at most maxChars characters of the file's text, NULs dropped.
    std::string fromDocument(std::string_view text, std::size_t maxChars) const;

private:
    IniEncoding(Kind kind, CodePage page, std::optional<char> oddByte)
        : m_kind(kind), m_page(std::move(page)), m_oddByte(oddByte) {}

    Kind m_kind;
    CodePage m_page;               // the code page of the document's text: UTF-8 after a mark
    std::optional<char> m_oddByte; // the last byte of a UTF-16 file of odd length, kept as it was
};
