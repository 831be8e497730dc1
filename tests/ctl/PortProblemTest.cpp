// The one line quedrix-ctl scan prints for a port that is not the controller's.
#include "ctl/PortProblem.h"

#include <gtest/gtest.h>

namespace {

struct ProblemCase {
    const char* name;
    PortAttempt attempt;
    std::string line;
};

void PrintTo(const ProblemCase& c, std::ostream* os) {
    *os << c.name;
}

class PortProblemTest : public testing::TestWithParam<ProblemCase> {};

TEST_P(PortProblemTest, IsOneLine) {
    EXPECT_EQ(DescribePortProblem(GetParam().attempt), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, PortProblemTest,
    testing::Values(
        ProblemCase{"NoAnswer", {"/dev/ttyS0", true, -1, 0, "", ""}, "opened, but no controller answered"},
        ProblemCase{"VersionZero",
                    {"/dev/ttyS0", true, 0, 0, "", ""},
                    "opened, but it answered version 0, which is no controller's"},
        // Windows' messages end with CR LF; Wine opens an empty port and fails its first call.
        ProblemCase{"SetUpFails",
                    {"", false, -1, 1, "CommOpen (PurgeComm)", "Invalid function.\r\n"},
                    "opened, but it does not work as a serial line: CommOpen (PurgeComm) - "
                    "Invalid function."},
        ProblemCase{"MessageOnTwoLines",
                    {"", false, -1, 31, "CommOpen (SetCommState)", "A device attached\r\nfails.\r\n"},
                    "opened, but it does not work as a serial line: CommOpen (SetCommState) - A "
                    "device attached  fails."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
