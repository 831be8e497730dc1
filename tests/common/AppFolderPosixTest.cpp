// The application folder found through /proc/self/exe, with POSIX paths.
#include "AppFolder.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

#include "ScopedEnv.h"

namespace {

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

} // namespace
