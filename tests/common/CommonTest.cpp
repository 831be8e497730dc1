#include "Common.h"
#include "OsVersion.h"
#include "RegionalSettings.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ScopedLocale.h"
#include "TempFolder.h"

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

struct PatternCase {
    const char* strftime;
    const char* windows;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << c.strftime;
}

class WindowsDatePatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(WindowsDatePatternTest, Converts) {
    EXPECT_EQ(WindowsDatePattern(GetParam().strftime), GetParam().windows);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, WindowsDatePatternTest,
    ::testing::Values(PatternCase{"%d.%m.%Y", "dd.MM.yyyy"},
                      PatternCase{"%-d.%-m.%Y", "d.M.yyyy"} /* kept as it stands */,
                      PatternCase{"%e.%m.%Y", "d.MM.yyyy"}, PatternCase{"%m/%d/%y", "MM/dd/yy"},
                      PatternCase{"%D", "MM/dd/yy"}, PatternCase{"%F", "yyyy-MM-dd"},
                      PatternCase{"%Oy//%Om//%Od", "yy//MM//dd"}, PatternCase{"%d.%m.%Y г.", "dd.MM.yyyy г."},
                      PatternCase{"%Y'%m", "yyyy''MM"},
                      // Names become numbers: the log writes no MMM or ddd.
                      PatternCase{"%d de %B", "dd 'de' MM"}, PatternCase{"%d %b, %Y", "dd MM, yyyy"},
                      PatternCase{"%e %h %Y", "d MM yyyy"}, PatternCase{"%A %d %b %Y", "dd MM yyyy"},
                      PatternCase{"%a, %Y.eko %bren %da", "yyyy.'eko' MM'ren' dd'a'"},
                      PatternCase{"%Y年%m月%d日 %A", "yyyy年MM月dd日"}, PatternCase{"%d %a %m", "dd MM"},
                      PatternCase{"100%% %d", "100% dd"}, PatternCase{"%d%", "dd%"},
                      PatternCase{"%Q%d", "dd"}, PatternCase{"", ""}));

struct VersionCase {
    int platform, major, minor;
    const char* name;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.platform << "." << c.major << "." << c.minor;
}

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

TEST(CommonTest, OsVersionNameIsEmptyOffWindows) {
    EXPECT_EQ(GetOSVersionName(), "");
}

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
    EXPECT_TRUE(FileExists(m_dir.file("a[1]*"))); // brackets are not wildcards
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

// Runs check as an unprivileged user: in a child process that drops root first, if need be.
bool asOrdinaryUser(const std::function<bool()>& check) {
    if (::geteuid() != 0)
        return check();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(FileExistsTest, UnreadableFileOrFolderIsFalse) {
    ::chmod(m_dir.path().c_str(), 0755);
    m_dir.write("readable.cfg", "x");
    m_dir.write("sub/inner.cfg", "x");
    ::chmod(m_dir.file("readable.cfg").c_str(), 0644);
    ::chmod(m_dir.file("Quedrix.cfg").c_str(), 0);
    ::chmod(m_dir.file("sub").c_str(), 0);
    const std::string dir = m_dir.path();
    EXPECT_TRUE(asOrdinaryUser([&] { return FileExists(dir + "/readable.cfg"); }));
    EXPECT_TRUE(asOrdinaryUser([&] { return !FileExists(dir + "/Quedrix.cfg"); }));
    EXPECT_TRUE(asOrdinaryUser([&] { return !FileExists(dir + "/Quedrix.*"); }));
    EXPECT_TRUE(asOrdinaryUser([&] { return !FileExists(dir + "/sub/*.cfg"); }));
    EXPECT_TRUE(asOrdinaryUser([&] { return !FileExists(dir + "/sub/inner.cfg"); }));
    ::chmod(m_dir.file("sub").c_str(), 0755);
}

} // namespace
