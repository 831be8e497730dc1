#include "common/Common.h"
#include "common/OsVersion.h"
#include "common/RegionalSettings.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

namespace {

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

class FileExistsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.write("Quedrix.cfg", "x");
        m_dir.write("a[1].lng", "x");
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
    EXPECT_TRUE(FileExists(m_dir.file("*.cfg")));
    EXPECT_TRUE(FileExists(m_dir.file("Quedrix.c?g")));
    EXPECT_FALSE(FileExists(m_dir.file("Quedrix.?")));
    EXPECT_FALSE(FileExists(m_dir.file("folder.*"))); // only a folder matches
    EXPECT_FALSE(FileExists(m_dir.file("sub/*")));
    EXPECT_TRUE(FileExists(m_dir.file("a[1].lng")));
    EXPECT_TRUE(FileExists(m_dir.file("a[1]*"))); // brackets are not wildcards
    EXPECT_FALSE(FileExists(m_dir.file("a[12].*")));
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

} // namespace
