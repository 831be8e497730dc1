#include "lang/TextValue.h"

#include <gtest/gtest.h>

namespace {

struct NumberCase {
    const char* text;
    std::optional<int32_t> expected;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class NumericValueTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumericValueTest, LeadingNumberRounded) {
    EXPECT_EQ(NumericValue(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericValueTest,
    ::testing::Values(NumberCase{"204", 204}, NumberCase{"  204", 204}, NumberCase{"204abc", 204},
                      NumberCase{"1026 ", 1026}, NumberCase{"", 0}, NumberCase{"   ", 0},
                      NumberCase{"abc", 0}, NumberCase{"-3", -3}, NumberCase{"+7", 7}, NumberCase{"2.4", 2},
                      NumberCase{"2.6", 3}, NumberCase{"2.5", 2}, NumberCase{"3.5", 4}, NumberCase{"1 2", 1},
                      NumberCase{"\t5", 0}, NumberCase{"2147483647", 2147483647},
                      NumberCase{"2147483648", std::nullopt}, NumberCase{"-2147483648", -2147483647 - 1},
                      NumberCase{"99999999999999999999", std::nullopt}));

TEST(IsBlank, SpacesOnly) {
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("   "));
    EXPECT_FALSE(IsBlank(" x "));
    EXPECT_FALSE(IsBlank("\t"));
}

TEST(FirstCharacters, NeverCutsACharacterInHalf) {
    EXPECT_EQ(FirstCharacters("bgx", 2), "bg");
    EXPECT_EQ(FirstCharacters("R", 2), "R");
    EXPECT_EQ(FirstCharacters("", 2), "");
    EXPECT_EQ(FirstCharacters("Бълг", 2), "Бъ");
    EXPECT_EQ(FirstCharacters("aБc", 2), "aБ");
}

} // namespace
