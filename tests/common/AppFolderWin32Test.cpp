// The application folder with Windows paths: drive letters and backslashes; the user's data folder
// of an installed copy.
#include "common/AppFolderWin32.h"
#include "common/AppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(AppFolderWin32Test, TrailingBackslashesGo) {
    ScopedEnv home("QUEDRIX_HOME", "C:\\Quedrix\\\\");
    EXPECT_EQ(AppFolder(), "C:\\Quedrix");
    EXPECT_EQ(AppFilePath("Error.log"), "C:\\Quedrix\\Error.log");
}

TEST(AppFolderWin32Test, DriveRootKeepsItsBackslash) {
    ScopedEnv home("QUEDRIX_HOME", "D:\\");
    EXPECT_EQ(AppFolder(), "D:\\");
    EXPECT_EQ(AppFilePath("Quedrix.cfg"), "D:\\Quedrix.cfg");
}

TEST(AppFolderWin32Test, ExecutableFolderIsAWindowsPath) {
    ScopedEnv noHome("QUEDRIX_HOME", nullptr);
    const std::string folder = AppFolder();
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder.substr(1, 2), ":\\") << folder;
    EXPECT_EQ(folder.find('/'), std::string::npos) << folder;
}

struct ChoiceCase {
    const char* name;
    AppFolderFacts facts;
    std::string folder;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

class AppFolderChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(AppFolderChoice, PicksTheFolder) {
    EXPECT_EQ(ChooseAppFolder(GetParam().facts), GetParam().folder);
}

// facts: QUEDRIX_HOME, local application data, executable folder, writable, installed copy
INSTANTIATE_TEST_SUITE_P(
    Facts, AppFolderChoice,
    testing::Values(ChoiceCase{"HomeVariableOverAnInstalledCopy",
                               {"D:\\Hall\\", "C:\\Users\\ann\\AppData\\Local",
                                "C:\\Program Files\\Zentrovik\\Quedrix", false, true},
                               "D:\\Hall"},
                    ChoiceCase{"WritableCopyKeepsItsFolder",
                               {"", "C:\\Users\\ann\\AppData\\Local", "C:\\Quedrix", true, false},
                               "C:\\Quedrix"},
                    ChoiceCase{"UnwritableFolderUsesTheLocalApplicationData",
                               {"", "C:\\Users\\ann\\AppData\\Local\\", "E:\\Tools", false, false},
                               "C:\\Users\\ann\\AppData\\Local\\Zentrovik\\Quedrix"},
                    ChoiceCase{"InstalledCopyUsesTheLocalApplicationDataEvenWhenWritable",
                               {"", "C:\\Users\\ann\\AppData\\Local", "C:\\Program Files\\Zentrovik\\Quedrix",
                                true, true},
                               "C:\\Users\\ann\\AppData\\Local\\Zentrovik\\Quedrix"},
                    ChoiceCase{"NoLocalApplicationDataKeepsTheExecutablesFolder",
                               {"", "", "C:\\Program Files\\Zentrovik\\Quedrix", false, true},
                               "C:\\Program Files\\Zentrovik\\Quedrix"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

struct InsideCase {
    const char* path;
    const char* folder;
    bool inside;
};

class InsideFolder : public testing::TestWithParam<InsideCase> {};

TEST_P(InsideFolder, ComparesWholeNamesWithoutCase) {
    EXPECT_EQ(IsInsideFolder(GetParam().path, GetParam().folder), GetParam().inside)
        << GetParam().path << " in " << GetParam().folder;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, InsideFolder,
    testing::Values(InsideCase{"C:\\Program Files\\Zentrovik\\Quedrix", "C:\\Program Files", true},
                    InsideCase{"c:\\PROGRAM FILES\\Zentrovik\\Quedrix", "C:\\Program Files\\", true},
                    InsideCase{"C:\\Program Files", "C:\\Program Files", true},
                    InsideCase{"C:\\Program Files (x86)\\Quedrix", "C:\\Program Files", false},
                    InsideCase{"C:\\Program", "C:\\Program Files", false},
                    InsideCase{"C:\\Quedrix", "C:\\", true},
                    InsideCase{"D:\\Program Files\\Quedrix", "C:\\Program Files", false},
                    InsideCase{"C:\\Quedrix", "", false}));

class DataFolder : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(shipped.file("bin"));
        shipped.write("bin\\Common.lng", "[strLanguage]\r\nEN=English\r\n");
        shipped.write("bin\\Forms.lng", "[BilliardStd]\r\n");
        shipped.write("bin\\quedrix.exe", "MZ");
    }
    std::string bin() const { return shipped.file("bin"); }

    TempFolder shipped;
    TempFolder local;
};

// The first start makes the folders and copies only the language files; a later one copies only
// what is missing and keeps what the user edited.
TEST_F(DataFolder, CopiesOnlyTheMissingLanguageFiles) {
    const std::string folder = local.file("Zentrovik\\Quedrix");
    ASSERT_TRUE(PrepareDataFolder(folder, bin()));
    EXPECT_EQ(local.read("Zentrovik\\Quedrix\\Common.lng"), "[strLanguage]\r\nEN=English\r\n");
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 2);
    local.write("Zentrovik\\Quedrix\\Common.lng", "edited by the user");
    std::filesystem::remove(local.file("Zentrovik\\Quedrix\\Forms.lng"));
    ASSERT_TRUE(PrepareDataFolder(folder, bin()));
    EXPECT_EQ(local.read("Zentrovik\\Quedrix\\Common.lng"), "edited by the user");
    EXPECT_EQ(local.read("Zentrovik\\Quedrix\\Forms.lng"), "[BilliardStd]\r\n");
}

TEST_F(DataFolder, AFolderThatCannotBeMadeIsReported) {
    local.write("file", "");
    EXPECT_FALSE(PrepareDataFolder(local.file("file\\Quedrix"), bin()));
}

} // namespace
