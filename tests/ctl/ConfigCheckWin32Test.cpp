// The configuration check on Windows, where the program opens COMn itself and never reads [Ports].
#include "ctl/ConfigCheck.h"

#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kTariff = "[Tariff]\r\nPeak=0.50\r\nOffPeak=0.30\r\nStartTime=08:00\r\nEndTime=18:00\r\n";

class ConfigCheckWin32Test : public ::testing::Test {
protected:
    std::vector<ConfigProblem> problemsOf(const std::string& text) {
        m_dir.write("Quedrix.cfg", text);
        return ConfigProblems(m_dir.file("Quedrix.cfg"));
    }

    TempFolder m_dir;
    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
};

TEST_F(ConfigCheckWin32Test, SoundFileHasNoProblems) {
    USE_LOCALE_OR_SKIP(locale, "C");
    EXPECT_TRUE(problemsOf("[Language]\r\nValue=BG\r\n" + kTariff).empty());
}

TEST_F(ConfigCheckWin32Test, PortsEntriesAreToldToBeUnused) {
    USE_LOCALE_OR_SKIP(locale, "C");
    const auto problems = problemsOf(kTariff + "[Ports]\r\nCOM3=\\\\.\\COM7\r\n");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].text.find("[Ports] COM3=\\\\.\\COM7 is not used"), std::string::npos)
        << problems[0].text;
    EXPECT_FALSE(problems[0].alternativeModeOnly);
}

} // namespace
