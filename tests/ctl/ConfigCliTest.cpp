#include "ConfigCli.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

#include "ScopedEnv.h"
#include "TempFolder.h"

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

TEST_F(ConfigCliTest, CheckPrintsOneLinePerProblemAndExitsOneWhenThereIsAny) {
    m_dir.write("Quedrix.cfg", "[Tariff]\r\nPeak=abc\r\nOffPeak=0.30\r\nStartTime=8:00\r\nEndTime=18:00\r\n");
    EXPECT_EQ(run({"check"}), 1);
    const std::string out = m_out.str();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
    EXPECT_TRUE(out.starts_with(m_cfg + ": [Tariff] Peak=abc does not read as a number")) << out;

    const std::string other = m_dir.file("other.cfg");
    m_dir.write("other.cfg", "[Tariff]\r\nPeak=0.50\r\nOffPeak=0.30\r\nStartTime=08:00\r\nEndTime=18:00\r\n");
    EXPECT_EQ(run({"check", "--file", other}), 0);
    EXPECT_EQ(m_out.str(), other + ": no problems found\n");
    EXPECT_EQ(run({"check", "extra"}), 2);
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
                                           std::vector<std::string>{"set", "--file", "x.cfg", "A", "k"}));

} // namespace
