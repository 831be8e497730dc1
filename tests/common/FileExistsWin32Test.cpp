// FileExists with the attributes of Windows: hidden, system and read-only files.
#include "common/Common.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "tests/support/TempFolder.h"

namespace {

class FileExistsWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, attributes] : {std::pair{"Hidden.lng", FILE_ATTRIBUTE_HIDDEN},
                                               {"System.lng", FILE_ATTRIBUTE_SYSTEM},
                                               {"ReadOnly.cfg", FILE_ATTRIBUTE_READONLY}}) {
            m_dir.write(name, "x");
            ASSERT_TRUE(::SetFileAttributesA(m_dir.file(name).c_str(), attributes)) << name;
        }
    }
    void TearDown() override {
        ::SetFileAttributesA(m_dir.file("ReadOnly.cfg").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    TempFolder m_dir;
};

TEST_F(FileExistsWin32Test, HiddenAndSystemFilesDoNotCount) {
    EXPECT_FALSE(FileExists(m_dir.file("Hidden.lng")));
    EXPECT_FALSE(FileExists(m_dir.file("System.lng")));
    EXPECT_FALSE(FileExists(m_dir.file("*.lng")));
}

TEST_F(FileExistsWin32Test, ReadOnlyFilesCount) {
    EXPECT_TRUE(FileExists(m_dir.file("ReadOnly.cfg")));
    EXPECT_TRUE(FileExists(m_dir.file("READONLY.*"))); // names compare without regard to case
}

TEST_F(FileExistsWin32Test, AnOrdinaryMatchAfterHiddenOnesCounts) {
    m_dir.write("Visible.lng", "x");
    EXPECT_TRUE(FileExists(m_dir.file("*.lng")));
}

} // namespace
