#include "common/CodePage.h"

#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"

namespace {

struct ConversionCase {
    const char* codePage;
    const char* utf8;
    const char* eightBit;
};

void PrintTo(const ConversionCase& c, std::ostream* os) {
    *os << c.codePage << " " << c.utf8;
}

class CodePageConversionTest : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(CodePageConversionTest, ConvertsOrMarksWithQuestionMark) {
    const auto page = CodePage::open(GetParam().codePage);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->toEightBit(GetParam().utf8), GetParam().eightBit);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodePageConversionTest,
    ::testing::Values(ConversionCase{"1251", "Изход", "\xC8\xE7\xF5\xEE\xE4"},
                      ConversionCase{"1251", "a中b", "a?b"}, // no such character in the page
                      ConversionCase{"1251", "café", "caf?"},
                      ConversionCase{"1251", "x\xFFy\xC3", "x?y"}, // malformed, then cut short
                      ConversionCase{"1252", "café", "caf\xE9"}, ConversionCase{"1252", "Маса", "????"},
                      ConversionCase{"UTF-8", "Маса", "Маса"}, ConversionCase{"KOI8-R", "Я", "\xF1"},
                      ConversionCase{"CP1252", "é", "\xE9"}, ConversionCase{"WINDOWS-1251", "Я", "\xDF"},
                      ConversionCase{"ISO-8859-5", "Я", "\xCF"}, ConversionCase{"UTF-8", "x\xFFy", "x?y"}));

TEST(CodePageTest, UndefinedBytesReadAsQuestionMark) {
    const auto page = CodePage::open("1251");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->toUtf8("a\x98z"), "a?z"); // 0x98 is unassigned in Windows-1251
}

TEST(CodePageTest, RefusesUnknownAndNonAsciiCompatiblePages) {
    EXPECT_FALSE(CodePage::open("NO-SUCH-PAGE"));
    EXPECT_FALSE(CodePage::open("UTF-16"));
    EXPECT_FALSE(CodePage::open(""));
}

TEST(CodePageTest, OverrideFromEnvironment) {
    ScopedEnv env("QUEDRIX_CODEPAGE", "1252");
    EXPECT_EQ(CodePage::active().toEightBit("é"), "\xE9");
}

TEST(CodePageTest, BadOverrideFallsBackWithOneLineOnStderr) {
    ScopedEnv env("QUEDRIX_CODEPAGE", "bogus-page");
    ::testing::internal::CaptureStderr();
    const CodePage first = CodePage::active();
    const CodePage second = CodePage::active();
    const std::string err = ::testing::internal::GetCapturedStderr();
    const CodePage fallback = [] {
        ScopedEnv none("QUEDRIX_CODEPAGE", nullptr);
        return CodePage::active();
    }();
    EXPECT_EQ(first.toEightBit("Маса é"), fallback.toEightBit("Маса é"));
    EXPECT_EQ(second.toEightBit("Маса é"), fallback.toEightBit("Маса é"));
    EXPECT_NE(err.find("bogus-page"), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

} // namespace
