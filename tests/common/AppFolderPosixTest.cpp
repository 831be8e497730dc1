// The application folder of POSIX systems: the executable's folder, else the user's data folder.
#include "common/AppFolderPosix.h"
#include "common/AppFolder.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

namespace fs = std::filesystem;

TEST(AppFolderTest, HomeVariableWins) {
    ScopedEnv home("QUEDRIX_HOME", "/srv/quedrix/");
    EXPECT_EQ(AppFolder(), "/srv/quedrix");
    EXPECT_EQ(AppFilePath("Quedrix.cfg"), "/srv/quedrix/Quedrix.cfg");
}

TEST(AppFolderTest, ExecutableFolderOtherwise) {
    ScopedEnv home("QUEDRIX_HOME", nullptr);
    const auto exe = std::filesystem::canonical(std::filesystem::absolute(program_invocation_name));
    EXPECT_EQ(AppFolder(), exe.parent_path().string());
    EXPECT_EQ(AppFilePath("Error.log"), (exe.parent_path() / "Error.log").string());
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

// facts: QUEDRIX_HOME, XDG_DATA_HOME, HOME, executable folder, writable, installed copy
INSTANTIATE_TEST_SUITE_P(
    Facts, AppFolderChoice,
    testing::Values(
        ChoiceCase{"HomeVariableOverAnInstalledCopy",
                   {"/srv/q/", "/x", "/home/ann", "/usr/bin", false, true},
                   "/srv/q"},
        ChoiceCase{"BuildTreeKeepsItsFolder",
                   {"", "/x", "/home/ann", "/src/build/app", true, false},
                   "/src/build/app"},
        ChoiceCase{"UnwritableFolderUsesTheDataHome",
                   {"", "/home/ann/data/", "/home/ann", "/opt/q", false, false},
                   "/home/ann/data/quedrix"},
        ChoiceCase{"InstalledCopyUsesTheDataHomeEvenWhenWritable",
                   {"", "", "/root", "/usr/bin", true, true},
                   "/root/.local/share/quedrix"},
        ChoiceCase{"NoDataHomeMeansTheHomesLocalShare",
                   {"", "", "/home/ann/", "/usr/bin", false, true},
                   "/home/ann/.local/share/quedrix"},
        ChoiceCase{"RelativeDataHomeIsIgnored",
                   {"", "data", "/home/ann", "/usr/bin", false, true},
                   "/home/ann/.local/share/quedrix"},
        ChoiceCase{"NoHomeAtAllKeepsTheExecutablesFolder", {"", "", "", "/usr/bin", false, true}, "/usr/bin"},
        ChoiceCase{"UnknownExecutableGivesTheWorkingFolder", {"", "", "/home/ann", "", false, false}, "."}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(AppFolderTest, ShippedFilesOfAnInstalledCopyLieInItsShareFolder) {
    EXPECT_EQ(ShippedFilesFolder({"", "", "/home/ann", "/usr/bin", false, true}), "/usr/share/quedrix");
    EXPECT_EQ(ShippedFilesFolder({"", "", "/home/ann", "/src/build/app", false, false}), "/src/build/app");
}

mode_t permissionsOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class DataFolder : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(shipped.file("share"));
        shipped.write("share/Common.lng", "[strLanguage]\r\nEN=English\r\n");
        shipped.write("share/Forms.lng", "[BilliardStd]\r\n");
        shipped.write("share/Quedrix.cfg", "; example\r\n");
    }
    std::string share() const { return shipped.file("share"); }

    TempFolder shipped;
    TempFolder home;
};

TEST_F(DataFolder, FirstStartMakesThePrivateFoldersAndCopiesTheLanguageFiles) {
    const std::string folder = home.file(".local/share/quedrix");
    ASSERT_TRUE(PrepareDataFolder(folder, share()));
    EXPECT_EQ(home.read(".local/share/quedrix/Common.lng"), "[strLanguage]\r\nEN=English\r\n");
    EXPECT_EQ(home.read(".local/share/quedrix/Forms.lng"), "[BilliardStd]\r\n");
    // The example configuration is not the user's: the first start writes its own.
    EXPECT_FALSE(fs::exists(folder + "/Quedrix.cfg"));
    EXPECT_EQ(permissionsOf(home.file(".local")), 0700u);
    EXPECT_EQ(permissionsOf(folder), 0700u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

TEST_F(DataFolder, FilesAlreadyThereAreKeptAndOnlyTheMissingOnesCopied) {
    const std::string folder = home.file("quedrix");
    fs::create_directory(folder);
    const mode_t mode = permissionsOf(folder);
    home.write("quedrix/Common.lng", "edited by the user");
    ASSERT_TRUE(PrepareDataFolder(folder, share()));
    EXPECT_EQ(home.read("quedrix/Common.lng"), "edited by the user");
    EXPECT_EQ(home.read("quedrix/Forms.lng"), "[BilliardStd]\r\n");
    EXPECT_EQ(permissionsOf(folder), mode) << "an existing folder keeps its mode";
}

TEST_F(DataFolder, AFolderThatCannotBeMadeIsReported) {
    home.write("file", "");
    EXPECT_FALSE(PrepareDataFolder(home.file("file/quedrix"), share()));
}

TEST_F(DataFolder, MissingShippedFolderStillMakesTheDataFolder) {
    EXPECT_TRUE(PrepareDataFolder(home.file("quedrix"), shipped.file("none")));
    EXPECT_TRUE(fs::is_directory(home.file("quedrix")));
}

} // namespace
