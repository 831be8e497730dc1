// The application folder with Windows paths: drive letters and backslashes.
#include "AppFolder.h"

#include <gtest/gtest.h>

#include "ScopedEnv.h"

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

} // namespace
