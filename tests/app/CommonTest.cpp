#include "Common.h"
#include "OsVersion.h"
#include "RegionalSettings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ScopedLocale.h"
#include "TempFolder.h"

namespace {

struct LocaleCase {
    const char* locale;
    const char* decimalSeparator;
    const char* shortDate;
};

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
                                           LocaleCase{"ps_AF.UTF-8", "\xD9\xAB", "د yyyy د MMMM d"}));

struct PatternCase {
    const char* strftime;
    const char* windows;
};

class WindowsDatePatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(WindowsDatePatternTest, Converts) { EXPECT_EQ(WindowsDatePattern(GetParam().strftime), GetParam().windows); }

INSTANTIATE_TEST_SUITE_P(
    Patterns, WindowsDatePatternTest,
    ::testing::Values(PatternCase{"%d.%m.%Y", "dd.MM.yyyy"}, PatternCase{"%-d.%-m.%Y", "d.M.yyyy"},
                      PatternCase{"%e.%m.%Y", "d.MM.yyyy"}, PatternCase{"%m/%d/%y", "MM/dd/yy"},
                      PatternCase{"%D", "MM/dd/yy"}, PatternCase{"%F", "yyyy-MM-dd"},
                      PatternCase{"%Oy//%Om//%Od", "yy//MM//dd"}, PatternCase{"%d.%m.%Y г.", "dd.MM.yyyy г."},
                      PatternCase{"%d de %B", "dd 'de' MMMM"}, PatternCase{"%Y'%m", "yyyy''MM"},
                      PatternCase{"100%% %d", "100% dd"}, PatternCase{"%d%", "dd%"}, PatternCase{"%Q%d", "dd"},
                      PatternCase{"", ""}));

TEST(CommonTest, ShortDatePatternIsKeptAsTheLocaleGivesIt) {
    // An unusual but valid pattern: taken as it stands, no warning.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(WindowsDatePattern("%-d.%-m.%Y"), "d.M.yyyy");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

struct VersionCase {
    int platform, major, minor;
    const char* name;
};

class OsVersionNameTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(OsVersionNameTest, MapsRowByRow) {
    const VersionCase& c = GetParam();
    EXPECT_EQ(OsVersionName(c.platform, c.major, c.minor), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OsVersionNameTest,
    ::testing::Values(VersionCase{1, 4, 0, "Windows 95"}, VersionCase{1, 7, 0, "Windows 95"},
                      VersionCase{1, 4, 10, "Windows 98"}, VersionCase{1, 0, 10, "Windows 98"},
                      VersionCase{1, 4, 90, "Windows ME"}, VersionCase{1, 4, 3, ""}, VersionCase{1, 4, 1, ""},
                      VersionCase{2, 5, 0, "Windows 2000"}, VersionCase{2, 5, 1, "Windows XP"},
                      VersionCase{2, 5, 2, ""}, VersionCase{2, 5, 90, ""}, VersionCase{2, 4, 0, "Windows NT"},
                      VersionCase{2, 3, 51, "Windows NT"}, VersionCase{2, 0, 10, "Windows NT"},
                      VersionCase{2, 6, 0, ""}, VersionCase{2, 6, 1, ""}, VersionCase{2, 10, 0, ""},
                      VersionCase{0, 4, 0, ""}, VersionCase{3, 5, 1, ""}, VersionCase{-1, 5, 1, ""}));

TEST(CommonTest, OsVersionNameIsEmptyOffWindows) { EXPECT_EQ(GetOSVersionName(), ""); }

class FileExistsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.write("Quedrix.cfg", "x");
        m_dir.write("a[1].lng", "x");
        m_dir.write(".hidden.lng", "x");
        m_dir.write(" ", "x");
        std::filesystem::create_directory(m_dir.file("folder.cfg"));
        std::filesystem::create_directory(m_dir.file("sub"));
    }
    TempFolder m_dir;
};

TEST_F(FileExistsTest, NamesAndPatterns) {
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(m_dir.file("Quedrix.cfg")));
    EXPECT_FALSE(FileExists(m_dir.file("Missing.cfg")));
    EXPECT_FALSE(FileExists(m_dir.file("sub")));
    EXPECT_FALSE(FileExists(m_dir.file("sub/")));
    EXPECT_FALSE(FileExists(m_dir.file(".hidden.lng")));
    EXPECT_FALSE(FileExists(m_dir.file(" ")));
    EXPECT_TRUE(FileExists(m_dir.file("*.cfg")));
    EXPECT_TRUE(FileExists(m_dir.file("Quedrix.c?g")));
    EXPECT_FALSE(FileExists(m_dir.file("Quedrix.?")));
    EXPECT_FALSE(FileExists(m_dir.file("folder.*"))); // only a folder matches
    EXPECT_FALSE(FileExists(m_dir.file("sub/*")));
    EXPECT_TRUE(FileExists(m_dir.file("a[1].lng")));
    EXPECT_TRUE(FileExists(m_dir.file("a[1]*")));       // brackets are not wildcards
    EXPECT_FALSE(FileExists(m_dir.file("a[12].*")));
    EXPECT_FALSE(FileExists(m_dir.file("*.hidden.lng"))); // hidden files are not found by patterns
    EXPECT_FALSE(FileExists(m_dir.file("?")));            // a name of blanks only
    EXPECT_FALSE(FileExists(m_dir.file("no/such/*.cfg")));
    EXPECT_FALSE(FileExists(m_dir.file("*/Quedrix.cfg"))); // wildcards only in the last part
}

TEST_F(FileExistsTest, RelativeNamesUseTheWorkingFolder) {
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.path());
    EXPECT_TRUE(FileExists("Quedrix.cfg"));
    EXPECT_TRUE(FileExists("*.cfg"));
    EXPECT_FALSE(FileExists("*.txt"));
    std::filesystem::current_path(old);
}

TEST_F(FileExistsTest, UnreadableFileOrFolderIsFalse) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file; permissions cannot be tested";
    ::chmod(m_dir.file("Quedrix.cfg").c_str(), 0);
    EXPECT_FALSE(FileExists(m_dir.file("Quedrix.cfg")));
    m_dir.write("sub/inner.cfg", "x");
    ::chmod(m_dir.file("sub").c_str(), 0);
    EXPECT_FALSE(FileExists(m_dir.file("sub/*.cfg")));
    ::chmod(m_dir.file("sub").c_str(), 0755);
}

} // namespace
