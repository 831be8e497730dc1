#include "common/AppFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(AppFolderTest, HomeVariableWinsWithoutItsTrailingSeparator) {
    TempFolder home;
    ScopedEnv variable("QUEDRIX_HOME", home.file(""));
    EXPECT_EQ(AppFolder(), home.path());
    EXPECT_EQ(AppFilePath("Quedrix.cfg"), home.file("Quedrix.cfg"));
}

TEST(AppFolderTest, SubfoldersTakeThePlatformSeparator) {
    TempFolder home;
    ScopedEnv variable("QUEDRIX_HOME", home.path());
    EXPECT_EQ(AppFilePath("Related Documents/Forms.lng"), home.file("Related Documents/Forms.lng"));
}

TEST(AppFolderTest, ExecutableFolderHoldsTheRunningProgram) {
    ScopedEnv noHome("QUEDRIX_HOME", nullptr);
    EXPECT_TRUE(std::filesystem::is_regular_file(AppFilePath(QUEDRIX_TEST_PROGRAM))) << AppFolder();
}

} // namespace
