#include "common/WatchSettings.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

namespace {

struct WatchCase {
    const char* section; // the [Watch] lines
    bool enabled;
    int interval;
    int longSession;
    std::vector<std::string> problemKeys;
};

class WatchSettingsTest : public ::testing::TestWithParam<WatchCase> {};

TEST_P(WatchSettingsTest, ReadsValuesAndNamesTheBadOnes) {
    const WatchCase& c = GetParam();
    TempFolder dir;
    dir.write("Quedrix.cfg", std::string("[Tariff]\r\nPeak=0.50\r\n[Watch]\r\n") + c.section);
    const WatchSettings settings = ReadWatchSettings(dir.file("Quedrix.cfg"));
    EXPECT_EQ(settings.enabled, c.enabled);
    EXPECT_EQ(settings.intervalSeconds, c.interval);
    EXPECT_EQ(settings.longSessionMinutes, c.longSession);
    std::vector<std::string> keys;
    for (const WatchSettingProblem& problem : WatchSettingProblems(dir.file("Quedrix.cfg")))
        keys.push_back(problem.key);
    EXPECT_EQ(keys, c.problemKeys);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WatchSettingsTest,
    ::testing::Values(
        WatchCase{"", false, 15, 0, {}},
        WatchCase{"Enabled=1\r\nInterval=5\r\nLongSession=1440\r\n", true, 5, 1440, {}},
        WatchCase{"enabled = 1 \r\ninterval=600\r\nlongsession=0\r\n", true, 600, 0, {}},
        WatchCase{"Enabled=0\r\n", false, 15, 0, {}},
        WatchCase{"Enabled=yes\r\nInterval=4\r\nLongSession=1441\r\n",
                  false,
                  15,
                  0,
                  {"Enabled", "Interval", "LongSession"}},
        WatchCase{"Enabled=01\r\nInterval=601\r\nLongSession=-5\r\n",
                  false,
                  15,
                  0,
                  {"Enabled", "Interval", "LongSession"}},
        WatchCase{
            "Enabled=1\r\nInterval=10s\r\nLongSession=1.5\r\n", true, 15, 0, {"Interval", "LongSession"}},
        WatchCase{"Enabled=1\r\nInterval=+20\r\nLongSession=99999999999\r\n",
                  true,
                  15,
                  0,
                  {"Interval", "LongSession"}}));

TEST(WatchSettings, MissingFileIsOffWithoutProblems) {
    TempFolder dir;
    const WatchSettings settings = ReadWatchSettings(dir.file("Quedrix.cfg"));
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(settings.intervalSeconds, 15);
    EXPECT_TRUE(WatchSettingProblems(dir.file("Quedrix.cfg")).empty());
}

TEST(WatchSettings, ProblemCarriesTheRawValue) {
    const auto problems = WatchValueProblems("", "3", "");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].value, "3");
    EXPECT_NE(problems[0].problem.find("15 applies"), std::string::npos);
}

} // namespace
