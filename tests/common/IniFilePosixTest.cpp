// Replacing an INI file keeps what POSIX systems keep about it: permission bits and symbolic links.
#include "Common.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ScopedEnv.h"
#include "TempFolder.h"

namespace {

class IniFilePosixTest : public ::testing::Test {
protected:
    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
    TempFolder m_dir;
    std::string m_cfg = m_dir.file("Quedrix.cfg");
};

TEST_F(IniFilePosixTest, ReplacementKeepsPermissionsAndLeavesNoTemporaryFile) {
    m_dir.write("Quedrix.cfg", "[A]\r\nk=1\r\n");
    ::chmod(m_cfg.c_str(), 0640);
    WriteIniValue("A", "k", "2", m_cfg);
    struct stat st {};
    ASSERT_EQ(::stat(m_cfg.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path()))
        EXPECT_TRUE(entry.path().filename() == "Quedrix.cfg" || entry.path().filename() == "Quedrix.cfg.lock")
            << entry.path();
}

TEST_F(IniFilePosixTest, LinkedFileIsReplacedAndTheLinkKept) {
    m_dir.write("real.cfg", "[A]\r\nk=1\r\n");
    std::filesystem::create_symlink(m_dir.file("real.cfg"), m_cfg);
    WriteIniValue("A", "k", "2", m_cfg);
    EXPECT_TRUE(std::filesystem::is_symlink(m_cfg));
    EXPECT_EQ(m_dir.read("real.cfg"), "[A]\r\nk=2\r\n");
}

} // namespace
