// The default code page of POSIX systems, which have no ANSI code page of their own.
#include "common/CodePage.h"

#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"

namespace {

TEST(CodePageTest, DefaultIsWindows1251) {
    ScopedEnv env("QUEDRIX_CODEPAGE", nullptr);
    const CodePage page = CodePage::active();
    EXPECT_EQ(page.toEightBit("Маса 1"), "\xCC\xE0\xF1\xE0 1");
    EXPECT_EQ(page.toUtf8("\xCC\xE0\xF1\xE0 1"), "Маса 1");
}

// Sequences shaped like UTF-8 that name no character (beyond U+10FFFF, five bytes long, a surrogate).
TEST(CodePageTest, Utf8PageLetsOnlyRealCharactersThrough) {
    const auto page = CodePage::open("UTF-8");
    ASSERT_TRUE(page);
    for (const char* bad : {"\xF4\x90\x80\x80", "\xF7\xBF\xBF\xBF", "\xED\xA0\x80"}) {
        EXPECT_EQ(page->toUtf8(std::string("a") + bad + "Б"), "a?Б") << testing::PrintToString(bad);
        EXPECT_EQ(page->toEightBit(std::string("a") + bad + "Б"), "a?Б") << testing::PrintToString(bad);
    }
    EXPECT_EQ(page->toUtf8("\xF4\x8F\xBF\xBF"), "\xF4\x8F\xBF\xBF"); // U+10FFFF, the last one
}

} // namespace
