#include "common/IniDocument.h"

#include <gtest/gtest.h>

namespace {

std::string valueOr(const IniDocument& doc, const char* section, const char* key,
                    const char* missing = "<missing>") {
    return doc.value(section, key).value_or(missing);
}

struct ReadCase {
    const char* name;
    const char* file;
    const char* section;
    const char* key;
    const char* expected; // "<missing>" when absent
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class IniReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ReadsAsTheRulesSay) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(valueOr(IniDocument(c.file), c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniReadTest,
    ::testing::Values(ReadCase{"CrLf", "[A]\r\nk=v\r\n", "A", "k", "v"},
                      ReadCase{"LfOnly", "[A]\nx=1\nk=v\n", "A", "k", "v"},
                      ReadCase{"CrOnly", "[A]\rx=1\rk=v\r", "A", "k", "v"},
                      ReadCase{"NoFinalBreak", "[A]\r\nk=v", "A", "k", "v"},
                      ReadCase{"SpacesAroundSection", "  [ Tariff ]  \r\nPeak=1\r\n", "Tariff", "Peak", "1"},
                      ReadCase{"SpacesAroundEquals", "[T]\r\n\tPeak = 0,50 \r\n", "T", "Peak", "0,50"},
                      ReadCase{"ValueKeepsLaterEquals", "[T]\r\nk=a=b\r\n", "T", "k", "a=b"},
                      ReadCase{"SectionRunsToLastBracket", "[a]b]\r\nk=v\r\n", "a]b", "k", "v"},
                      ReadCase{"BracketLineWithoutCloseIsNoSection", "[A]\r\n[B\r\nk=v\r\n", "A", "k", "v"},
                      ReadCase{"CaseInsensitiveNames", "[tariff]\r\nPEAK=2\r\n", "TaRiFf", "peak", "2"},
                      ReadCase{"NonAsciiComparedExactly", "[A]\r\n\xC4=1\r\n", "A", "\xE4", "<missing>"},
                      ReadCase{"FirstSectionWins", "[A]\r\nx=1\r\n[A]\r\nk=2\r\n", "A", "k", "<missing>"},
                      ReadCase{"FirstKeyWins", "[A]\r\nk=1\r\nK=2\r\n", "A", "k", "1"},
                      ReadCase{"KeyOfNextSectionNotSeen", "[A]\r\n[B]\r\nk=1\r\n", "A", "k", "<missing>"},
                      ReadCase{"LineWithoutEqualsIsNoKey", "[A]\r\nk\r\n", "A", "k", "<missing>"},
                      ReadCase{"CommentIsNoKey", "[A]\r\n;k=1\r\n", "A", ";k", "<missing>"},
                      ReadCase{"LinesBeforeFirstSectionUnread", "k=1\r\n[A]\r\n", "", "k", "<missing>"},
                      ReadCase{"DoubleQuotesRemoved", "[A]\r\nk=\" x \"\r\n", "A", "k", " x "},
                      ReadCase{"SingleQuotesRemoved", "[A]\r\nk='x'\r\n", "A", "k", "x"},
                      ReadCase{"MismatchedQuotesKept", "[A]\r\nk=\"x'\r\n", "A", "k", "\"x'"},
                      ReadCase{"LoneQuoteKept", "[A]\r\nk=\"\r\n", "A", "k", "\""},
                      ReadCase{"EmptyValue", "[A]\r\nk=\r\n", "A", "k", ""},
                      ReadCase{"MissingSection", "[A]\r\nk=1\r\n", "B", "k", "<missing>"},
                      ReadCase{"EmptyFile", "", "A", "k", "<missing>"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class IniWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWriteTest, ChangesOnlyWhatItMust) {
    const WriteCase& c = GetParam();
    IniDocument doc(c.before);
    const bool changed = doc.setValue(c.section, c.key, c.value);
    EXPECT_EQ(doc.bytes(), c.after);
    EXPECT_EQ(changed, std::string(c.before) != c.after);
    EXPECT_EQ(valueOr(doc, c.section, c.key), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniWriteTest,
    ::testing::Values(
        WriteCase{"NewFile", "", "Languages", "Counter", "1", "[Languages]\r\nCounter=1\r\n"},
        WriteCase{"ReplaceInPlaceKeepsSpelling", "[A]\r\nCounter=1\r\nx=2\r\n", "a", "COUNTER", "3",
                  "[A]\r\nCounter=3\r\nx=2\r\n"},
        WriteCase{"ReplaceKeepsIndentAndLineEnd", "[A]\n  k = 1 \nz=0\n", "A", "k", "2", "[A]\n  k=2\nz=0\n"},
        WriteCase{"NewKeyAfterLastKeyOfItsSection", "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "A", "n", "v",
                  "[A]\r\na=1\r\nn=v\r\n\r\n[B]\r\nb=2\r\n"},
        WriteCase{"NewKeyBeforeTrailingComment", "[A]\r\na=1\r\n; about B\r\n[B]\r\n", "A", "n", "v",
                  "[A]\r\na=1\r\nn=v\r\n; about B\r\n[B]\r\n"},
        WriteCase{"NewKeyInEmptySection", "[A]\r\n\r\n[B]\r\n", "A", "n", "v", "[A]\r\nn=v\r\n\r\n[B]\r\n"},
        WriteCase{"NewKeyAfterUnterminatedLastLine", "[A]\r\na=1", "A", "n", "v", "[A]\r\na=1\r\nn=v\r\n"},
        WriteCase{"NewSectionAtEnd", "; top\r\n[A]\r\na=1\r\n", "B", "k", "v",
                  "; top\r\n[A]\r\na=1\r\n[B]\r\nk=v\r\n"},
        WriteCase{"NewSectionAfterMissingBreak", "[A]\na=1", "B", "k", "v", "[A]\na=1\r\n[B]\r\nk=v\r\n"},
        WriteCase{"SameValueUntouched", "[A]\r\nk = 5 \r\n", "A", "k", "5", "[A]\r\nk = 5 \r\n"},
        WriteCase{"FirstOfDuplicateSections", "[A]\r\nx=1\r\n[A]\r\nk=1\r\n", "A", "k", "2",
                  "[A]\r\nx=1\r\nk=2\r\n[A]\r\nk=1\r\n"},
        WriteCase{"OtherLineEndingsKept", "[A]\ra=1\n\n[B]\r\n", "A", "a", "7", "[A]\ra=7\n\n[B]\r\n"}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(IniDocumentTest, RefusesWritesThatWouldForgeLines) {
    EXPECT_TRUE(IniDocument::refusal("A\r", "k", "v"));
    EXPECT_TRUE(IniDocument::refusal("A", "k\n", "v"));
    EXPECT_TRUE(IniDocument::refusal("A", "k", "v\r\n[Evil]"));
    EXPECT_TRUE(IniDocument::refusal("A]", "k", "v"));
    EXPECT_TRUE(IniDocument::refusal("A", "k=x", "v"));
    EXPECT_TRUE(IniDocument::refusal("A", std::string("k\0", 2), "v"));
    EXPECT_TRUE(IniDocument::refusal("A", ";k", "v"));
    EXPECT_TRUE(IniDocument::refusal("A", " [k", "v]"));
    EXPECT_TRUE(IniDocument::refusal("A", "  ", "v"));
    EXPECT_FALSE(IniDocument::refusal("[A", "k;", "x=y]['\""));
}

} // namespace
