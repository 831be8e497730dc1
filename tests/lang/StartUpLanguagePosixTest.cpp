// The start-up language when the file that stands in for the registry on POSIX systems is garbage.
#include "lang/ResManagerClass.h"

#include "tests/lang/LangTestFolder.h"

#include <gtest/gtest.h>

namespace {

TEST_F(LangTest, UnreadableRegistryStandInGivesEnglish) {
    m_folder.write("installer.reg", "\x01\x02 not an export");
    EXPECT_EQ(ResManagerClass().SetStartUpLanguage(), "EN");
}

} // namespace
