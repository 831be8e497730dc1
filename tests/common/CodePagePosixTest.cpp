// The default code page of POSIX systems, which have no ANSI code page of their own.
#include "CodePage.h"

#include <gtest/gtest.h>

#include "ScopedEnv.h"

namespace {

TEST(CodePageTest, DefaultIsWindows1251) {
    ScopedEnv env("QUEDRIX_CODEPAGE", nullptr);
    const CodePage page = CodePage::active();
    EXPECT_EQ(page.toEightBit("Маса 1"), "\xCC\xE0\xF1\xE0 1");
    EXPECT_EQ(page.toUtf8("\xCC\xE0\xF1\xE0 1"), "Маса 1");
}

} // namespace
