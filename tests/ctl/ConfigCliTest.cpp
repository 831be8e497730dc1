#include "ctl/ConfigCli.h"
#include "ctl/ConfigCheck.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

class ConfigCliTest : public ::testing::Test {
protected:
    int run(const std::vector<std::string>& args) {
        m_out.str("");
        m_err.str("");
        return RunConfigCommand(args, m_out, m_err);
    }

    TempFolder m_dir;
    ScopedEnv m_home{"QUEDRIX_HOME", m_dir.path().c_str()};
    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
    std::string m_cfg = m_dir.file("Quedrix.cfg");
    std::ostringstream m_out;
    std::ostringstream m_err;
};

TEST_F(ConfigCliTest, SetThenGetOnTheApplicationFolder) {
    EXPECT_EQ(run({"set", "Tariff", "Peak", "0,50"}), 0);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[Tariff]\r\nPeak=0,50\r\n");
    EXPECT_EQ(run({"get", "tariff", "PEAK"}), 0);
    EXPECT_EQ(m_out.str(), "0,50\n");
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(ConfigCliTest, FileOption) {
    const std::string other = m_dir.file("other.cfg");
    EXPECT_EQ(run({"set", "--file", other, "Ports", "COM3", "/dev/pts/7"}), 0);
    EXPECT_FALSE(std::filesystem::exists(m_cfg));
    EXPECT_EQ(run({"get", "--file", other, "Ports", "COM3"}), 0);
    EXPECT_EQ(m_out.str(), "/dev/pts/7\n");
}

TEST_F(ConfigCliTest, GetConvertsFromTheCodePageAndCutsAt254) {
    m_dir.write("Quedrix.cfg", "[Languages]\r\ncap1=\xC1\xFA\xEB\xE3\xE0\xF0\xF1\xEA\xE8\r\nlong=" +
                                   std::string(300, '7') + "\r\n");
    EXPECT_EQ(run({"get", "Languages", "cap1"}), 0);
    EXPECT_EQ(m_out.str(), "Български\n");
    EXPECT_EQ(run({"get", "Languages", "long"}), 0);
    EXPECT_EQ(m_out.str(), std::string(254, '7') + "\n");
}

const std::string kNoTariff = "[Language]\r\nValue=BG\r\n";
const std::string kBadTariffAndPort =
    "[Tariff]\r\nPeak=abc\r\nOffPeak=0.30\r\nStartTime=8:00\r\nEndTime=18:00\r\n"
    "[Ports]\r\nCOM3=/nonexistent/ttyUSB0\r\n";

struct CheckCase {
    const char* name;
    std::string text;
    std::vector<std::string> args; // after "check"
    int status;
    std::string out; // each line after "<file>: "; $PORT for what is wrong with the port
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class ConfigCliCheckTest : public ConfigCliTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(ConfigCliCheckTest, PrintsOneLineEachAndExitsOneOnlyForProblemsOfTheMode) {
    const CheckCase& c = GetParam();
    m_dir.write("Quedrix.cfg", c.text);
    std::vector<std::string> args{"check"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    EXPECT_EQ(run(args), c.status);
    std::string expected;
    for (std::size_t from = 0, to; from < c.out.size(); from = to + 1) {
        to = c.out.find('\n', from);
        expected += m_cfg + ": " + c.out.substr(from, to - from + 1);
    }
    // What the platform finds wrong with the port.
    if (const auto at = expected.find("$PORT"); at != std::string::npos)
        expected.replace(at, 5, SerialDeviceProblem("/nonexistent/ttyUSB0"));
    EXPECT_EQ(m_out.str(), expected);
}

const std::string kNoTariffNote =
    "note, alternative mode only: has no [Tariff] values: every charge is 0.00\n";
const std::string kStandardOnly = "no problems found for the standard mode; the notes matter only to the "
                                  "alternative mode (quedrix ALT): check it with --mode ALT\n";

INSTANTIATE_TEST_SUITE_P(
    Modes, ConfigCliCheckTest,
    ::testing::Values(
        CheckCase{"StandardHallWithoutTariff", kNoTariff, {}, 0, kNoTariffNote + kStandardOnly},
        CheckCase{"AlternativeModeNeedsTheTariff",
                  kNoTariff,
                  {"--mode", "alt"},
                  1,
                  "has no [Tariff] values: every charge is 0.00\n"},
        CheckCase{"StandardModeLeavesTheTariffOut", kNoTariff, {"--mode", "STD"}, 0, "no problems found\n"},
        CheckCase{"PortProblemCountsInEveryMode",
                  kBadTariffAndPort,
                  {},
                  1,
                  "note, alternative mode only: [Tariff] Peak=abc does not read as a number: the rate counts "
                  "as 0\n"
                  "note, alternative mode only: [Tariff] StartTime=8:00 is not a time \"HH:MM\" with a "
                  "two-digit 24-hour hour: the peak rate compares times as text, so \"8:00\" never applies "
                  "(it sorts after \"18:00\"); write \"08:00\"\n"
                  "[Ports] COM3=/nonexistent/ttyUSB0 $PORT\n"},
        CheckCase{"SoundFile",
                  "[Tariff]\r\nPeak=0.50\r\nOffPeak=0.30\r\nStartTime=08:00\r\nEndTime=18:00\r\n",
                  {"--mode", "ALT"},
                  0,
                  "no problems found\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigCliTest, CheckTakesAnotherFile) {
    const std::string other = m_dir.file("other.cfg");
    m_dir.write("other.cfg", "[Tariff]\r\nPeak=0.50\r\nOffPeak=0.30\r\nStartTime=08:00\r\nEndTime=18:00\r\n");
    EXPECT_EQ(run({"check", "--file", other}), 0);
    EXPECT_EQ(m_out.str(), other + ": no problems found\n");
}

// A port is written as given, for an adapter not plugged in yet, with a warning on err.
TEST_F(ConfigCliTest, SetPortThatIsNoSerialDeviceWritesItAndWarns) {
    m_dir.write("frames.bin", "not a line");
    for (const std::string& device : {m_dir.file("unplugged"), m_dir.file("frames.bin")}) {
        EXPECT_EQ(run({"set", "ports", "COM5", device}), 0);
        EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[ports]\r\nCOM5=" + device + "\r\n");
        EXPECT_TRUE(m_err.str().starts_with("quedrix-ctl: warning: [Ports] COM5=" + device + " "))
            << m_err.str();
        EXPECT_TRUE(m_err.str().ends_with(" (written all the same)\n")) << m_err.str();
    }
    EXPECT_EQ(run({"set", "Tariff", "Peak", m_dir.file("unplugged")}), 0);
    EXPECT_EQ(m_err.str(), "") << "only [Ports] names devices";
}

TEST_F(ConfigCliTest, MissingKeyPrintsAnEmptyLineAndCreatesNothing) {
    EXPECT_EQ(run({"get", "Tariff", "Peak"}), 0);
    EXPECT_EQ(m_out.str(), "\n");
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));
}

struct Refused {
    const char* name;
    std::vector<std::string> args;
};

void PrintTo(const Refused& c, std::ostream* os) {
    *os << c.name;
}

class ConfigCliRefusalTest : public ConfigCliTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(ConfigCliRefusalTest, RefusedWriteExitsOneWithReason) {
    m_dir.write("Quedrix.cfg", "[Tariff]\r\nPeak=1\r\n");
    EXPECT_EQ(run(GetParam().args), 1);
    EXPECT_NE(m_err.str().find("not written"), std::string::npos) << m_err.str();
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[Tariff]\r\nPeak=1\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Writes, ConfigCliRefusalTest,
    ::testing::Values(Refused{"Lf", {"set", "Tariff", "Peak", "1\n[Language]"}},
                      Refused{"Cr", {"set", "Tariff", "Peak", "1\rx=2"}},
                      Refused{"Bracket", {"set", "Tar]iff", "Peak", "1"}},
                      Refused{"Equals", {"set", "Tariff", "Pe=ak", "1"}},
                      Refused{"CannotWrite", {"set", "--file", "/nonexistent-folder/q.cfg", "A", "k", "v"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigCliTest, ReadOnlyFileIsNotRewritten) {
    m_dir.write("Quedrix.cfg", "[Tariff]\r\nPeak=1\r\n");
    ::chmod(m_cfg.c_str(), 0444);
    EXPECT_EQ(run({"set", "Tariff", "Peak", "2"}), 1);
    const std::string message = m_err.str();
    EXPECT_NE(message.find("read-only"), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << "one line: " << message;
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[Tariff]\r\nPeak=1\r\n");
}

class ConfigCliUsageTest : public ConfigCliTest,
                           public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(ConfigCliUsageTest, BadUsageExitsTwo) {
    EXPECT_EQ(run(GetParam()), 2);
    EXPECT_NE(m_err.str().find("usage"), std::string::npos);
    EXPECT_EQ(m_out.str(), "");
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));
}

INSTANTIATE_TEST_SUITE_P(Args, ConfigCliUsageTest,
                         ::testing::Values(std::vector<std::string>{},
                                           std::vector<std::string>{"delete", "A", "k"},
                                           std::vector<std::string>{"get", "A"},
                                           std::vector<std::string>{"get", "A", "k", "extra"},
                                           std::vector<std::string>{"set", "A", "k"},
                                           std::vector<std::string>{"set", "A", "k", "v", "w"},
                                           std::vector<std::string>{"get", "--file"},
                                           std::vector<std::string>{"get", "--file", "", "A", "k"},
                                           std::vector<std::string>{"set", "--file", "x.cfg", "A", "k"},
                                           std::vector<std::string>{"check", "extra"},
                                           std::vector<std::string>{"check", "--mode"},
                                           std::vector<std::string>{"check", "--mode", "ALT1"}));

} // namespace
