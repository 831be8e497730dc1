// Where a copy of quedrix-ctl laid out as installed (bin/ beside share/quedrix/) keeps its files.
#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class InstalledCopy : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root.file("usr/bin"));
        fs::create_directories(root.file("usr/share/quedrix"));
        fs::copy_file(QUEDRIX_CTL_PATH, ctl);
        root.write("usr/share/quedrix/Common.lng", "[strLanguage]\r\nEN=English\r\n");
        root.write("usr/share/quedrix/Quedrix.cfg", "; an example\r\n");
    }

    int setPeak(const std::string& program) {
        const auto result = ChildProcess::run({program, "config", "set", "Tariff", "Peak", "0,50"});
        EXPECT_EQ(result.err, "");
        return result.status;
    }

    // The names in folder, the settings engine's lock files left out.
    std::vector<std::string> filesIn(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() != ".lock")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder root;
    std::string ctl = root.file("usr/bin/quedrix-ctl");
    ScopedEnv home{"HOME", root.file("home")};
    ScopedEnv noAppHome{"QUEDRIX_HOME", nullptr};
    ScopedEnv noDataHome{"XDG_DATA_HOME", nullptr};
};

TEST_F(InstalledCopy, FilesGoToTheUsersDataFolderWithTheShippedLanguageFile) {
    ASSERT_EQ(setPeak(ctl), 0);
    EXPECT_EQ(root.read("home/.local/share/quedrix/Quedrix.cfg"), "[Tariff]\r\nPeak=0,50\r\n");
    EXPECT_EQ(root.read("home/.local/share/quedrix/Common.lng"), "[strLanguage]\r\nEN=English\r\n");
    EXPECT_EQ(filesIn(root.file("usr/bin")), std::vector<std::string>{"quedrix-ctl"});
}

TEST_F(InstalledCopy, DataHomeVariableIsFollowed) {
    ScopedEnv dataHome("XDG_DATA_HOME", root.file("data"));
    ASSERT_EQ(setPeak(ctl), 0);
    EXPECT_EQ(filesIn(root.file("data/quedrix")), (std::vector<std::string>{"Common.lng", "Quedrix.cfg"}));
    EXPECT_FALSE(fs::exists(root.file("home")));
}

} // namespace
