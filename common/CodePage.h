// Conversion between UTF-8 text in memory and the 8-bit ANSI code page of the program's files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class CodePage {
public:
    // The code page in force: the one $QUEDRIX_CODEPAGE names when it is usable, else the
    // platform's default (Windows-1251 on POSIX systems, the ANSI code page on Windows).
    static CodePage active();

    // "1252" means Windows-1252; names such as "UTF-8" and "KOI8-R" are known too. nullopt when the
    // platform cannot convert the code page or it is not ASCII-compatible.
    static std::optional<CodePage> open(const std::string& name);

    // The platform's identifier of the code page (an iconv name, a Windows code page number).
    const std::string& name() const { return m_identifier; }

    // Characters the code page lacks, and malformed input, become '?'.
    std::string toEightBit(std::string_view utf8) const;
    std::string toUtf8(std::string_view eightBit) const;

private:
    explicit CodePage(std::string identifier) : m_identifier(std::move(identifier)) {}

    std::string m_identifier;
};
