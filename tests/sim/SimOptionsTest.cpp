// The simulator's command line: every flag, and clear refusals of malformed input.
#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

SimOptions parsed(const std::vector<std::string>& args) {
    const SimCommandLine line = ParseSimOptions(args);
    EXPECT_EQ(line.error, "");
    EXPECT_TRUE(line.options.has_value());
    return line.options.value_or(SimOptions{});
}

TEST(SimOptionsParse, EveryFlag) {
    const SimOptions o = parsed({"--link",
                                 "/tmp/x/COM3",
                                 "--version",
                                 "12",
                                 "--counters",
                                 "3725,250,0",
                                 "--tick-ms",
                                 "50",
                                 "--baud",
                                 "0",
                                 "--silent",
                                 "--silent-table",
                                 "4",
                                 "--silent-table",
                                 "6",
                                 "--noise",
                                 "3",
                                 "--short",
                                 "--bad-value",
                                 "--reply-delay",
                                 "250",
                                 "--split",
                                 "--ignore-first",
                                 "2",
                                 "--log",
                                 "/tmp/x/log"});
    EXPECT_EQ(o.link, "/tmp/x/COM3");
    EXPECT_EQ(o.version, 12);
    EXPECT_EQ(o.counters, (std::array<int32_t, 8>{3725, 250, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(o.tickMs, 50);
    EXPECT_EQ(o.baud, 0);
    EXPECT_TRUE(o.silent);
    EXPECT_EQ(o.silentTables, (std::set<int32_t>{4, 6}));
    EXPECT_EQ(o.noise, 3);
    EXPECT_TRUE(o.shortReply);
    EXPECT_TRUE(o.badValue);
    EXPECT_EQ(o.replyDelayMs, 250);
    EXPECT_TRUE(o.split);
    EXPECT_EQ(o.ignoreFirst, 2);
    EXPECT_EQ(o.logPath, "/tmp/x/log");
}

TEST(SimOptionsParse, EightCountersFillEveryTable) {
    EXPECT_EQ(parsed({"--counters", "1,2,3,4,5,6,7,99999"}).counters,
              (std::array<int32_t, 8>{1, 2, 3, 4, 5, 6, 7, 99999}));
}

TEST(SimOptionsParse, NoiseCanOutlastAReplyWindow) {
    // 20000 bytes take more than the 1.1 s a reply is waited for at 115200 baud.
    EXPECT_EQ(parsed({"--noise", "20000"}).noise, 20000);
}

TEST(SimOptionsParse, HelpIsRecognised) {
    EXPECT_TRUE(ParseSimOptions({"--version", "3", "--help"}).help);
    const std::string usage = SimUsage();
    for (const char* flag :
         {"--link", "--version", "--counters", "--tick-ms", "--baud", "--log", "--silent ", "--silent-table",
          "--noise", "--short", "--bad-value", "--reply-delay", "--split", "--ignore-first", "--help"})
        EXPECT_NE(usage.find(flag), std::string::npos) << flag;
}

class SimOptionsRefuses : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SimOptionsRefuses, MalformedCommandLine) {
    const SimCommandLine line = ParseSimOptions(GetParam());
    EXPECT_FALSE(line.options.has_value());
    EXPECT_FALSE(line.help);
    EXPECT_FALSE(line.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, SimOptionsRefuses,
    testing::Values(std::vector<std::string>{"--frobnicate"}, std::vector<std::string>{"COM3"},
                    std::vector<std::string>{"--version"}, std::vector<std::string>{"--version", "abc"},
                    std::vector<std::string>{"--version", "12x"}, std::vector<std::string>{"--version", "-1"},
                    std::vector<std::string>{"--version", "100000"}, std::vector<std::string>{"--baud", ""},
                    std::vector<std::string>{"--counters", "1,2,3,4,5,6,7,8,9"},
                    std::vector<std::string>{"--counters", "1,,3"},
                    std::vector<std::string>{"--counters", "1,2,"},
                    std::vector<std::string>{"--counters", "100000"},
                    std::vector<std::string>{"--silent-table", "100"},
                    std::vector<std::string>{"--noise", " 3"}, std::vector<std::string>{"--noise", "100001"},
                    std::vector<std::string>{"--link", ""}, std::vector<std::string>{"--tick-ms", "-5"}));

} // namespace
