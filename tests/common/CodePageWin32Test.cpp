// The default code page on Windows: the system's ANSI code page.
#include "common/CodePage.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/ScopedEnv.h"

namespace {

std::string inAnsiCodePage(const std::wstring& text) {
    char buffer[64] = {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), buffer,
                                             sizeof buffer, "?", nullptr);
    return std::string(buffer, static_cast<std::size_t>(length));
}

TEST(CodePageWin32Test, DefaultIsTheAnsiCodePage) {
    ScopedEnv env("QUEDRIX_CODEPAGE", nullptr);
    const CodePage page = CodePage::active();
    EXPECT_EQ(page.name(), std::to_string(::GetACP()));
    EXPECT_EQ(page.toEightBit("café Я"), inAnsiCodePage(L"caf\u00e9 \u042f"));
}

TEST(CodePageWin32Test, OverrideStillWins) {
    ScopedEnv env("QUEDRIX_CODEPAGE", "1251");
    EXPECT_EQ(CodePage::active().toEightBit("Маса 1"), "\xCC\xE0\xF1\xE0 1");
}

TEST(CodePageWin32Test, NoBestFitStandIns) {
    // Windows would map é to e in Windows-1251 unless told not to; a lost character shows as '?'.
    EXPECT_EQ(CodePage::open("1251")->toEightBit("é"), "?");
}

TEST(CodePageWin32Test, PagesTheSystemLacksAreRefused) {
    EXPECT_FALSE(CodePage::open("65535"));
    EXPECT_FALSE(CodePage::open("0"));    // the ANSI code page is the default, not a name
    EXPECT_FALSE(CodePage::open("1200")); // UTF-16 is no 8-bit page
}

} // namespace
