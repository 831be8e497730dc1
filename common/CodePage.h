// Conversion between UTF-8 text in memory and the 8-bit ANSI code page of the program's files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class CodePage {
public:
    // The code page in force: the one $QUEDRIX_CODEPAGE names when it is usable, else Windows-1251.
    static CodePage active();

    // "1252" means Windows-1252; other names go to iconv as they stand ("UTF-8", "KOI8-R").
    // nullopt when iconv does not know the name or the code page is not ASCII-compatible.
    static std::optional<CodePage> open(const std::string& name);

    const std::string& name() const { return m_iconvName; }

    // Characters the code page lacks, and malformed input, become '?'.
    std::string toEightBit(std::string_view utf8) const;
    std::string toUtf8(std::string_view eightBit) const;

private:
    explicit CodePage(std::string iconvName) : m_iconvName(std::move(iconvName)) {}

    std::string m_iconvName;
};
