// The regional settings and the system name as a POSIX system gives them: the process locale.
#include "common/Common.h"

#include <gtest/gtest.h>

#include "tests/support/ScopedLocale.h"

namespace {

struct LocaleCase {
    const char* locale;
    const char* decimalSeparator;
    const char* shortDate;
};

void PrintTo(const LocaleCase& c, std::ostream* os) {
    *os << c.locale;
}

class RegionalSettingsTest : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(RegionalSettingsTest, SeparatorAndShortDateOfTheProcessLocale) {
    USE_LOCALE_OR_SKIP(locale, GetParam().locale);
    EXPECT_EQ(GetDecimalSeparator(), GetParam().decimalSeparator);
    ShortDateFormat = "stale";
    ReadDateSettings();
    EXPECT_EQ(ShortDateFormat, GetParam().shortDate);
}

INSTANTIATE_TEST_SUITE_P(Locales, RegionalSettingsTest,
                         ::testing::Values(LocaleCase{"C", ".", "MM/dd/yy"},
                                           LocaleCase{"bg_BG.UTF-8", ",", "d.MM.yyyy"},
                                           LocaleCase{"de_DE.UTF-8", ",", "dd.MM.yyyy"},
                                           // A separator of more than one byte comes back whole.
                                           LocaleCase{"ps_AF.UTF-8", "\xD9\xAB", "د yyyy د MM d"}));

TEST(CommonTest, OsVersionNameIsEmptyOffWindows) {
    EXPECT_EQ(GetOSVersionName(), "");
}

} // namespace
