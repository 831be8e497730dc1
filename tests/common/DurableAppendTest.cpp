#include "common/DurableAppend.h"

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

namespace {

constexpr char kHeader[] = "time,event\r\n";

struct AppendCase {
    const char* name;
    const char* before; // nullptr: no file
    const char* after;
};

class DurableAppendTest : public ::testing::TestWithParam<AppendCase> {};

TEST_P(DurableAppendTest, AppendsOneWholeLineOnAFreshLine) {
    const AppendCase& c = GetParam();
    TempFolder dir;
    if (c.before != nullptr)
        dir.write("Ledger.csv", c.before);
    const AppendResult result = AppendLineDurably(dir.file("Ledger.csv"), "b,2\r\n", kHeader);
    EXPECT_TRUE(result.ok) << result.error;
    EXPECT_EQ(dir.read("Ledger.csv"), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DurableAppendTest,
    ::testing::Values(AppendCase{"Missing", nullptr, "time,event\r\nb,2\r\n"},
                      AppendCase{"Empty", "", "time,event\r\nb,2\r\n"},
                      AppendCase{"Whole", "time,event\r\na,1\r\n", "time,event\r\na,1\r\nb,2\r\n"},
                      AppendCase{"TornLine", "time,event\r\na,1\r\nc,", "time,event\r\na,1\r\nc,\r\nb,2\r\n"},
                      AppendCase{"TornAfterCarriageReturn", "time,event\r\na,1\r",
                                 "time,event\r\na,1\r\r\nb,2\r\n"},
                      AppendCase{"LineFeedOnly", "time,event\na,1\n", "time,event\na,1\nb,2\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DurableAppend, AFolderThatIsMissingFailsWithTheReason) {
    TempFolder dir;
    const AppendResult result = AppendLineDurably(dir.file("missing/Ledger.csv"), "b,2\r\n", kHeader);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("Ledger.csv"), std::string::npos) << result.error;
}

} // namespace
