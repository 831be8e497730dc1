// FileExists with what only POSIX systems have: dot files as hidden files, names of blanks and
// permission bits.
#include "common/Common.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/TempFolder.h"

namespace {

class FileExistsPosixTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.write("Quedrix.cfg", "x");
        m_dir.write(".hidden.lng", "x");
        m_dir.write(" ", "x");
        std::filesystem::create_directory(m_dir.file("sub"));
    }
    TempFolder m_dir;
};

TEST_F(FileExistsPosixTest, HiddenFilesAndBlankNames) {
    EXPECT_FALSE(FileExists(m_dir.file(".hidden.lng")));
    EXPECT_FALSE(FileExists(m_dir.file(" ")));
    EXPECT_FALSE(FileExists(m_dir.file("*.hidden.lng"))); // hidden files are not found by patterns
    EXPECT_FALSE(FileExists(m_dir.file("?")));            // a name of blanks only
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

TEST_F(FileExistsPosixTest, UnreadableFileOrFolderIsFalse) {
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
