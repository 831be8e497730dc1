// The Windows version as GetVersionExA reports it to the program.
#include "common/Common.h"
#include "common/OsVersion.h"

#include <gtest/gtest.h>

namespace {

TEST(OsVersionWin32Test, TheRecordIsFilledForTheNtFamily) {
    // A wrong record size makes the call fail, which reads as "other" with version 0.0.
    const OsVersion version = QueryOsVersion();
    EXPECT_EQ(version.platform, 2);
    EXPECT_GE(version.major, 4);
}

TEST(OsVersionWin32Test, TheNameFollowsTheReportedVersion) {
    const OsVersion version = QueryOsVersion();
    EXPECT_EQ(GetOSVersionName(), OsVersionName(version.platform, version.major, version.minor));
    if (version.major >= 6) {
        EXPECT_EQ(GetOSVersionName(), ""); // Vista and later have no name
    }
}

} // namespace
