#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct CommandLineCase {
    const char* name;
    std::vector<std::string> arguments;
    MonitorMode expected;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, OnlyTheWordAltAloneSelectsTheAlternativeMode) {
    EXPECT_EQ(ModeFromArguments(GetParam().arguments), GetParam().expected);
}

constexpr MonitorMode Std = MonitorMode::Standard;
constexpr MonitorMode Alt = MonitorMode::Alternative;

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineTest,
    ::testing::Values(CommandLineCase{"Upper", {"ALT"}, Alt}, CommandLineCase{"Lower", {"alt"}, Alt},
                      CommandLineCase{"Mixed", {"Alt"}, Alt}, CommandLineCase{"MixedOther", {"aLt"}, Alt},
                      CommandLineCase{"None", {}, Std}, CommandLineCase{"Empty", {""}, Std},
                      CommandLineCase{"DigitAfter", {"ALT1"}, Std}, CommandLineCase{"Slash", {"/ALT"}, Std},
                      CommandLineCase{"Dash", {"-alt"}, Std}, CommandLineCase{"WordAfter", {"ALT", "x"}, Std},
                      CommandLineCase{"WordBefore", {"x", "ALT"}, Std},
                      CommandLineCase{"BlankAfter", {"ALT "}, Std},
                      CommandLineCase{"BlankBefore", {" alt"}, Std},
                      CommandLineCase{"EmptyBefore", {"", "ALT"}, Std},
                      CommandLineCase{"EmptyAfter", {"ALT", ""}, Std},
                      CommandLineCase{"Twice", {"ALTALT"}, Std}, CommandLineCase{"Short", {"AL"}, Std},
                      CommandLineCase{"Cyrillic", {"АЛТ"}, Std}, CommandLineCase{"Accented", {"ÄLT"}, Std}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
