#include "common/Configuration.h"

#include <gtest/gtest.h>

#include "common/AppFolder.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempFolder.h"

namespace {

class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override { AppConfig = AppConfigRecord{}; }
    void TearDown() override { AppConfig = AppConfigRecord{}; }

    void load(const std::string& file) {
        m_dir.write("Quedrix.cfg", file);
        EXPECT_TRUE(LoadConfiguration());
    }

    TempFolder m_dir;
    ScopedEnv m_home{"QUEDRIX_HOME", m_dir.path().c_str()};
    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
};

TEST_F(ConfigurationTest, CurrentLanguageCodeIsTheLanguageField) {
    EXPECT_EQ(&CurrentLanguageCode, &AppConfig.Language);
    CurrentLanguageCode = "EN";
    EXPECT_EQ(AppConfig.Language, "EN");
}

TEST_F(ConfigurationTest, NoFileLeavesDefaultsAndCreatesNothing) {
    CurrentLanguageCode = "RU";
    EXPECT_TRUE(LoadConfiguration());
    EXPECT_EQ(AppConfig.Language, "BG");
    EXPECT_EQ(AppConfig.CfgFile, m_dir.file("Quedrix.cfg"));
    EXPECT_EQ(AppConfig.Peak, 0);
    EXPECT_EQ(AppConfig.OffPeak, 0);
    EXPECT_EQ(AppConfig.StartTime, "");
    EXPECT_EQ(AppConfig.EndTime, "");
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));
}

TEST_F(ConfigurationTest, FileWithoutTariff) {
    load("[Languages]\r\nCounter=1\r\nlng1=BG\r\n\r\n[Language]\r\nValue= EN \r\n");
    EXPECT_EQ(AppConfig.Language, "EN");
    EXPECT_EQ(AppConfig.Peak, 0);
    EXPECT_EQ(AppConfig.OffPeak, 0);
    EXPECT_EQ(AppConfig.StartTime, "");
    EXPECT_EQ(AppConfig.EndTime, "");
}

// A file damaged into binary noise: what still reads as key lines is taken, everything else keeps
// its default, and the file is not touched.
TEST_F(ConfigurationTest, BinaryFileGivesWhatStillReadsAndDefaultsOtherwise) {
    USE_LOCALE_OR_SKIP(locale, "C");
    std::string noise;
    for (int i = 0; i < 2000; ++i)
        noise += static_cast<char>((i * 151 + 7) % 256);
    const std::string file = noise + "\r\n[Tariff]\r\nPeak=0.5\r\n" + noise;
    load(file);
    EXPECT_EQ(AppConfig.Peak, 0.5);
    EXPECT_EQ(AppConfig.OffPeak, 0);
    EXPECT_EQ(AppConfig.Language, ""); // no language stored: the start-up language steps choose one
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), file);
    load(noise);
    EXPECT_EQ(AppConfig.Peak, 0.5) << "a field that does not read keeps what it had";
    EXPECT_EQ(AppConfig.StartTime, "");
}

TEST_F(ConfigurationTest, EmptyLanguageValueGivesAnEmptyCode) {
    load("[Language]\r\nValue=\r\n");
    EXPECT_EQ(CurrentLanguageCode, "");
}

TEST_F(ConfigurationTest, FailingRateKeepsItsFieldAndTheOtherStepsRun) {
    USE_LOCALE_OR_SKIP(locale, "C");
    AppConfig.Peak = 7;
    load("[Tariff]\r\nPeak=abc\r\nOffPeak=0.30\r\nStartTime=8:00\r\nEndTime=18:00\r\n");
    EXPECT_EQ(AppConfig.Peak, 7);
    EXPECT_DOUBLE_EQ(AppConfig.OffPeak, 0.3);
    EXPECT_EQ(AppConfig.StartTime, "8:00"); // kept as text, even in a form the peak test cannot use
    EXPECT_EQ(AppConfig.EndTime, "18:00");
}

struct RateCase {
    const char* locale;
    const char* text;
    double expected; // -1: the step fails and Peak keeps -1
};

void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.locale << " " << c.text;
}

class RateTest : public ConfigurationTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(RateTest, ReadInTheRegionalNumberFormat) {
    USE_LOCALE_OR_SKIP(locale, GetParam().locale);
    AppConfig.Peak = -1;
    load(std::string("[Tariff]\r\nPeak=") + GetParam().text + "\r\n");
    EXPECT_DOUBLE_EQ(AppConfig.Peak, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, RateTest,
    ::testing::Values(RateCase{"bg_BG.UTF-8", "0,50", 0.5},
                      // The other decimal separator reads too, without grouping.
                      RateCase{"bg_BG.UTF-8", "0.50", 0.5}, RateCase{"C", "0,50", 0.5},
                      RateCase{"de_DE.UTF-8", " 0.25 ", 0.25}, RateCase{"ps_AF.UTF-8", "0,75", 0.75},
                      RateCase{"C", "1,000.50", -1}, RateCase{"bg_BG.UTF-8", "1.000,50", -1},
                      RateCase{"C", "0,5,0", -1}, RateCase{"C", "0x1,8", -1}, RateCase{"C", "1e30", 1e30},
                      RateCase{"de_DE.UTF-8", "1,25", 1.25}, RateCase{"C", "0.50", 0.5},
                      RateCase{"C", "", -1}, RateCase{"C", "12", 12}, RateCase{"C", "0x10", -1},
                      RateCase{"C", "inf", -1}, RateCase{"C", "nan", -1}, RateCase{"C", "1e999", -1},
                      RateCase{"C", "1.5abc", -1}, RateCase{"C", "\"2.5\"", 2.5}));

class TrayTipTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(TrayTipTest, CaptionInTheTipField) {
    ScopedEnv codePage("QUEDRIX_CODEPAGE", "1251");
    const std::size_t length = GetParam();
    std::string caption;
    for (std::size_t i = 0; i < length; ++i)
        caption += "Ж";
    SetTrayTip(caption);
    const auto& field = TrayTipField();
    const std::string bytes(field.begin(), field.end());
    const std::size_t kept = std::min<std::size_t>(length, 128);
    EXPECT_EQ(bytes.substr(0, kept), std::string(kept, '\xC6'));
    if (length < 128) {
        EXPECT_EQ(bytes[length], '\0');
        EXPECT_EQ(bytes.substr(length + 1), std::string(127 - length, ' '));
    }
    std::string shown;
    for (std::size_t i = 0; i < std::min<std::size_t>(length, 127); ++i)
        shown += "Ж";
    EXPECT_EQ(TrayTip(), shown);
}

INSTANTIATE_TEST_SUITE_P(Lengths, TrayTipTest, ::testing::Values(0u, 5u, 126u, 127u, 128u, 300u));

TEST(TrayTipTest, ShorterTipReplacesLongerOne) {
    ScopedEnv codePage("QUEDRIX_CODEPAGE", "1251");
    SetTrayTip(std::string(200, 'x'));
    SetTrayTip("Маса");
    EXPECT_EQ(TrayTip(), "Маса");
    EXPECT_EQ(TrayTipField()[127], ' ');
}

} // namespace
