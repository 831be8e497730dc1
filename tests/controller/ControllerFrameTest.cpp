// The frame codec: the exact bytes of requests, what counts as a well-formed frame, reading values.
#include "controller/ControllerFrame.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

std::string framed(const std::string& inner) {
    return "\x02" + inner + "\x03";
}

struct BuildCase {
    std::string command;
    int32_t table;
    int32_t value;
    std::string expected;
};

void PrintTo(const BuildCase& c, std::ostream* os) {
    *os << c.command << " table " << c.table << " value " << c.value;
}

class FrameBuild : public testing::TestWithParam<BuildCase> {};

TEST_P(FrameBuild, GivesTheExactBytes) {
    const BuildCase& c = GetParam();
    const std::string text = ControllerFrame{c.command, c.table, c.value}.text();
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(text.size(), ControllerFrame::Length);
}

// The exact bytes of each command are checked on the line; here the edges of the clamping.
INSTANTIATE_TEST_SUITE_P(
    Requests, FrameBuild,
    testing::Values(BuildCase{"G", 3, 0, framed("G03;00000;")}, BuildCase{"G", -5, 0, framed("G00;00000;")},
                    BuildCase{"G", 150, 0, framed("G99;00000;")}, BuildCase{"C", 1, -1, framed("C01;00000;")},
                    BuildCase{"C", 1, 100000, framed("C01;99999;")},
                    BuildCase{"C", std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                              framed("C00;99999;")}));

TEST(FrameParse, ReadsBackWhatWasBuilt) {
    const auto frame = ControllerFrame::parse(ControllerFrame{"C", 7, 4321}.text());
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->command, "C");
    EXPECT_EQ(frame->table, 7);
    EXPECT_EQ(frame->value, 4321);
}

class FrameParseRejects : public testing::TestWithParam<std::string> {};

TEST_P(FrameParseRejects, MalformedFrame) {
    EXPECT_FALSE(ControllerFrame::parse(GetParam()).has_value());
}

INSTANTIATE_TEST_SUITE_P(Malformed, FrameParseRejects,
                         testing::Values(std::string(), framed("G03;0000;"), framed("G03;000000;"),
                                         "xG03;00000;\x03", framed("G03;00000;").substr(0, 11) + "x",
                                         framed("g03;00000;"), framed("G0x;00000;"), framed("G03,00000;"),
                                         framed("G03;00abc;"), framed("G03;00000:"), framed("G03;-0001;")));

struct ValueCase {
    std::string reply;
    int32_t expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.reply);
}

class FrameValue : public testing::TestWithParam<ValueCase> {};

TEST_P(FrameValue, ReadsTheNumberFromOffsetFive) {
    EXPECT_EQ(ReadFrameValue(GetParam().reply), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FrameValue,
    testing::Values(ValueCase{framed("G03;00125;"), 125}, ValueCase{framed("G03;00abc;"), 0},
                    ValueCase{framed("G03;12a45;"), 12}, ValueCase{framed("G03;  042;"), 42},
                    ValueCase{framed("G03;\t\t007;"), 7}, ValueCase{framed("G03;-0001;"), -1},
                    ValueCase{framed("G03;+0012;"), 12}, ValueCase{framed("G03;- 012;"), 0},
                    ValueCase{"\x02G03;", 0}, ValueCase{"", 0},
                    ValueCase{"xxxxx99999999999", std::numeric_limits<int32_t>::max()},
                    ValueCase{"xxxxx-2147483648", std::numeric_limits<int32_t>::min()},
                    ValueCase{"xxxxx-99999999999", std::numeric_limits<int32_t>::min()}));

} // namespace
