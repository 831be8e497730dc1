#include "errlog/DateTimePattern.h"

#include <gtest/gtest.h>

namespace {

std::tm moment(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

struct FormatCase {
    const char* pattern;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.pattern;
}

class FormatDateTimeTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatDateTimeTest, RendersThePatternLetters) {
    const DateTimeSeparators separators{"-", "."};
    EXPECT_EQ(FormatDateTime(moment(2009, 3, 7, 8, 4, 5), GetParam().pattern, separators),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatDateTimeTest,
    ::testing::Values(FormatCase{"dd.MM.yyyy hh:nn:ss", "07.03.2009 08.04.05"}, // ":" is the time separator
                      FormatCase{"d.M.yy hh:nn:ss", "7.3.09 08.04.05"},
                      FormatCase{"yyyy/MM/dd", "2009-03-07"}, // "/" is the date separator
                      FormatCase{" hh:nn:ss", " 08.04.05"}, FormatCase{"", ""},
                      FormatCase{"yyy", "09y"},             // "yy" then a plain y
                      FormatCase{"ddd", "077"},             // "dd" then "d"
                      FormatCase{"H h m s N", "H h m s N"}, // letters outside the set stand as they are
                      FormatCase{"г. d", "г. 7"},
                      FormatCase{"dd 'de' MM 'yyyy'", "07 de 03 yyyy"}, // quoted text stands as it is
                      FormatCase{"'It''s' d", "It's 7"}, FormatCase{"d''M", "7'3"},
                      FormatCase{"d 'open", "7 open"}));

TEST(ParseDateTime, ReadsBackWhatFormatWrote) {
    const DateTimeSeparators separators{".", ":"};
    const std::string pattern = "dd.MM.yyyy hh:nn:ss";
    const std::tm original = moment(2009, 12, 6, 20, 14, 5);
    const auto parsed = ParseDateTime(FormatDateTime(original, pattern, separators), pattern, separators);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(FormatDateTime(*parsed, pattern, separators), "06.12.2009 20:14:05");
}

TEST(ParseDateTime, QuotedTextMustMatch) {
    EXPECT_TRUE(ParseDateTime("07 de 03", "dd 'de' MM", {}).has_value());
    EXPECT_FALSE(ParseDateTime("07 of 03", "dd 'de' MM", {}).has_value());
}

TEST(ParseDateTime, TakesOneDigitWhereThePatternHasTwo) {
    const auto parsed = ParseDateTime("6.2.2009 8:04:05", "dd.MM.yyyy hh:nn:ss", {".", ":"});
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->tm_mday, 6);
    EXPECT_EQ(parsed->tm_mon, 1);
    EXPECT_EQ(parsed->tm_year, 109);
    EXPECT_EQ(parsed->tm_hour, 8);
}

struct RewriteCase {
    const char* pattern;
    const char* text;
    const char* rewritten;
};

void PrintTo(const RewriteCase& c, std::ostream* os) {
    *os << "'" << c.text << "' under " << c.pattern;
}

class ParseThenFormatTest : public ::testing::TestWithParam<RewriteCase> {};

// A stamp with more or fewer digits than the pattern writes is read, then written in the pattern's form.
TEST_P(ParseThenFormatTest, WritesThePatternsForm) {
    const DateTimeSeparators separators{".", ":"};
    const auto parsed = ParseDateTime(GetParam().text, GetParam().pattern, separators);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(FormatDateTime(*parsed, GetParam().pattern, separators), GetParam().rewritten);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, ParseThenFormatTest,
    ::testing::Values(RewriteCase{"d.MM.yyyy hh:nn:ss", "16.12.2009 8:05:00", "16.12.2009 08:05:00"},
                      RewriteCase{"d.MM.yyyy hh:nn:ss", "06.12.2009 20:14:05", "6.12.2009 20:14:05"},
                      RewriteCase{"d.M.yyyy", "31.10.2009", "31.10.2009"},
                      RewriteCase{"M/d/yy", "12.25.09", "12.25.09"},
                      RewriteCase{"dd.MM.yyyy", "6.2.2009", "06.02.2009"}));

TEST(ParseDateTime, TwoDigitYearsPivotAtThirty) {
    EXPECT_EQ(ParseDateTime("01.01.29", "dd.MM.yy", {}).value().tm_year, 129);
    EXPECT_EQ(ParseDateTime("01.01.30", "dd.MM.yy", {}).value().tm_year, 30);
}

class ParseRejectsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(ParseRejectsTest, TextThatIsNotAMomentUnderThePattern) {
    EXPECT_FALSE(ParseDateTime(GetParam(), "dd.MM.yyyy hh:nn:ss", {".", ":"}).has_value());
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseRejectsTest,
                         ::testing::Values("", "yesterday", "06.12.2009", "06.12.2009 20:14:05 extra",
                                           "06/12/2009 20:14:05", "31.04.2009 20:14:05",
                                           "29.02.2009 20:14:05", "06.13.2009 20:14:05",
                                           "06.12.2009 24:00:00", "06.12.2009 20:60:00",
                                           "00.12.2009 20:14:05"));

TEST(ParseDateTime, AcceptsLeapDay) {
    EXPECT_TRUE(ParseDateTime("29.02.2008", "dd.MM.yyyy", {}).has_value());
    EXPECT_TRUE(ParseDateTime("29.02.2000", "dd.MM.yyyy", {}).has_value());
    EXPECT_FALSE(ParseDateTime("29.02.1900", "dd.MM.yyyy", {}).has_value());
}

} // namespace
