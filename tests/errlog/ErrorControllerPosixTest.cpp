// The error register on a folder whose permission bits forbid writing.
#include "tests/errlog/ErrorControllerFixture.h"

#include <unistd.h>

namespace {

TEST_F(ErrorControllerTest, ReadOnlyFolderStillKeepsTheHistory) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not bind root";
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec);
    add(0, 5, "kept");
    EXPECT_FALSE(fs::exists(m_folder / "Error.log"));
    EXPECT_EQ(m_errors.GetHistoryAll(true), "Date/Time: 06.12.2009 20:14:05  Code: 5  Message: kept");
}

} // namespace
