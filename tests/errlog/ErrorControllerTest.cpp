#include "errlog/RegisterBuildInfo.h"
#include "tests/errlog/ErrorControllerFixture.h"

#include "common/AppFolder.h"

#include <sstream>
#include <stdexcept>

namespace {

TEST_F(ErrorControllerTest, WritesTheNineLineRecordByteForByte) {
    std::string dateTime;
    m_errors.Add(0, 5, "Port closed", "FindController", dateTime);

    EXPECT_EQ(dateTime, "06.12.2009 20:14:05");
    EXPECT_EQ(log(), record("06.12.2009 20:14:05", "5", "Port closed", "FindController", "User error"));
}

TEST_F(ErrorControllerTest, RecordsAppendOneAfterAnother) {
    add(1, -7, "a", "x");
    add(2, 8, "b", "y");
    EXPECT_EQ(log(), record("06.12.2009 20:14:05", "-7", "a", "x", "System error") +
                         record("06.12.2009 20:14:05", "8", "b", "y", "Other"));
}

TEST_F(ErrorControllerTest, LogIsWrittenInTheCodePage) {
    add(0, 1, "Грешка", "Метод");
    const std::string bytes = log();
    EXPECT_NE(bytes.find("Error message:   \xC3\xF0\xE5\xF8\xEA\xE0\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Method Name:     \xCC\xE5\xF2\xEE\xE4\r\n"), std::string::npos);
}

struct TypeCase {
    int32_t type;
    const char* name;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
    *os << c.type << " " << c.name;
}

class EventTypeNameTest : public ErrorControllerTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(EventTypeNameTest, NamesTheTypeInLogAndHistory) {
    add(GetParam().type, 3);
    EXPECT_NE(log().find(std::string("\r\nType             ") + GetParam().name + "\r\n---"),
              std::string::npos);
    EXPECT_NE(m_errors.GetHistoryAll(false).find(std::string("Type:      ") + GetParam().name + "\r\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Types, EventTypeNameTest,
                         ::testing::Values(TypeCase{0, "User error"}, TypeCase{1, "System error"},
                                           TypeCase{2, "Other"}, TypeCase{7, "Unkonown"},
                                           TypeCase{-1, "Unkonown"}));

TEST_F(ErrorControllerTest, BlankDateTimeGetsATimeStampTheCallerSees) {
    std::string dateTime = "   ";
    m_errors.Add(0, 5, "m", "x", dateTime);
    EXPECT_EQ(dateTime, "06.12.2009 20:14:05");
    EXPECT_EQ(m_errors.GetHistoryAll(true), "Date/Time: 06.12.2009 20:14:05  Code: 5  Message: m");
}

TEST_F(ErrorControllerTest, GivenDateTimeIsKept) {
    std::string dateTime = "01.02.2003 04:05:06";
    m_errors.Add(0, 5, "m", "x", dateTime);
    EXPECT_EQ(dateTime, "01.02.2003 04:05:06");
    EXPECT_NE(log().find("Date & Time:     01.02.2003 04:05:06\r\n"), std::string::npos);
}

TEST_F(ErrorControllerTest, GivenDateTimeIsRewrittenInThePatternWhenItReadsAsOne) {
    std::string dateTime = "1.2.2003 4:05:06";
    m_errors.Add(0, 5, "m", "x", dateTime);
    EXPECT_EQ(dateTime, "1.2.2003 4:05:06");
    EXPECT_NE(log().find("Date & Time:     01.02.2003 04:05:06\r\n"), std::string::npos);
}

TEST_F(ErrorControllerTest, GivenTextThatIsNoMomentStandsAsItIs) {
    std::string dateTime = "yesterday";
    m_errors.Add(0, 5, "m", "x", dateTime);
    EXPECT_NE(log().find("Date & Time:     yesterday\r\n"), std::string::npos);
    EXPECT_EQ(m_errors.GetHistoryAll(true), "Date/Time: yesterday  Code: 5  Message: m");
}

TEST_F(ErrorControllerTest, EmptyShortDatePatternGivesAStampStartingWithASpace) {
    ShortDateFormat.clear();
    std::string dateTime;
    m_errors.Add(0, 5, "m", "x", dateTime);
    EXPECT_EQ(dateTime, " 20:14:05");
    EXPECT_NE(log().find("Date & Time:      20:14:05\r\n"), std::string::npos);
}

TEST_F(ErrorControllerTest, FailingClockLeavesTheCallersTextAsItWas) {
    ErrorController errors([]() -> std::tm { throw std::runtime_error("no clock"); });
    errors.LogFileName((m_folder / "Error.log").string());
    std::string dateTime = "  ";
    errors.Add(0, 5, "m", "x", dateTime);
    EXPECT_EQ(dateTime, "  ");
    EXPECT_EQ(errors.LastErrorCode(), 5);
}

TEST_F(ErrorControllerTest, ShortHistoryRunsOnWithoutSeparator) {
    add(0, 5, "first");
    add(1, 6, "second");
    EXPECT_EQ(m_errors.GetHistoryAll(true), "Date/Time: 06.12.2009 20:14:05  Code: 5  Message: first"
                                            "Date/Time: 06.12.2009 20:14:05  Code: 6  Message: second");
}

TEST_F(ErrorControllerTest, LongHistoryHasSixLinesPerEntry) {
    add(0, 5, "first", "One");
    add(2, 6, "second", "Two");
    EXPECT_EQ(m_errors.GetHistoryAll(false), "Date/Time: 06.12.2009 20:14:05\r\n"
                                             "Code:      5\r\n"
                                             "Message:   first\r\n"
                                             "Method:    One\r\n"
                                             "Type:      User error\r\n"
                                             "\r\n"
                                             "Date/Time: 06.12.2009 20:14:05\r\n"
                                             "Code:      6\r\n"
                                             "Message:   second\r\n"
                                             "Method:    Two\r\n"
                                             "Type:      Other\r\n"
                                             "\r\n");
}

TEST_F(ErrorControllerTest, HistoryFilteredByCodeAndByType) {
    add(0, 5, "a");
    add(1, 6, "b");
    add(1, 5, "c");
    EXPECT_EQ(m_errors.GetHistoryByCode(5, true), "Date/Time: 06.12.2009 20:14:05  Code: 5  Message: a"
                                                  "Date/Time: 06.12.2009 20:14:05  Code: 5  Message: c");
    EXPECT_EQ(m_errors.GetHistoryByType(1, true), "Date/Time: 06.12.2009 20:14:05  Code: 6  Message: b"
                                                  "Date/Time: 06.12.2009 20:14:05  Code: 5  Message: c");
    EXPECT_EQ(m_errors.GetHistoryByCode(99, true), "");
    EXPECT_EQ(m_errors.GetHistoryByCode(99, false), "");
    EXPECT_EQ(m_errors.GetHistoryByType(2, false), "");
}

TEST_F(ErrorControllerTest, EmptyHistoryGivesEmptyText) {
    EXPECT_EQ(m_errors.GetHistoryAll(true), "");
    EXPECT_EQ(m_errors.GetHistoryAll(false), "");
    // Slot 0 is an empty entry of type 0, code 0; it is never listed.
    EXPECT_EQ(m_errors.GetHistoryByCode(0, true), "");
    EXPECT_EQ(m_errors.GetHistoryByType(0, true), "");
}

TEST_F(ErrorControllerTest, LastErrorFollowsTheLatestEntryAndReset) {
    EXPECT_EQ(m_errors.LastErrorCode(), 0);
    EXPECT_EQ(m_errors.LastErrorMessage(), "");
    add(0, 5, "first");
    add(0, 9, "second");
    EXPECT_EQ(m_errors.LastErrorCode(), 9);
    EXPECT_EQ(m_errors.LastErrorMessage(), "second");

    const std::string logBefore = log();
    m_errors.ResetErrors();
    EXPECT_EQ(m_errors.LastErrorCode(), 0);
    EXPECT_EQ(m_errors.LastErrorMessage(), "");
    EXPECT_EQ(m_errors.GetHistoryAll(true), "");
    EXPECT_EQ(log(), logBefore); // the log file is not touched
}

TEST_F(ErrorControllerTest, SaveHistoryInFileAppendsAfterExistingContent) {
    add(0, 5, "first", "A");
    add(2, 6, "second", "B");
    const fs::path copy = m_folder / "copy.txt";
    std::ofstream(copy, std::ios::binary) << "earlier line\r\n";

    m_errors.SaveHistoryInFile(copy.string());

    EXPECT_EQ(readBytes(copy), "earlier line\r\n" +
                                   record("06.12.2009 20:14:05", "5", "first", "A", "User error") +
                                   record("06.12.2009 20:14:05", "6", "second", "B", "Other"));
    EXPECT_EQ(m_errors.LastErrorCode(), 6); // the history stays
}

TEST_F(ErrorControllerTest, DebugInfoAppendsTheTextASpaceAndLineEnd) {
    m_errors.DebugInfo("checkpoint");
    m_errors.DebugInfo("");
    EXPECT_EQ(log(), "checkpoint \r\n \r\n");
}

TEST_F(ErrorControllerTest, UnwritableLogLosesTheRecordButTheHistoryKeepsIt) {
    std::ofstream(m_folder / "plain-file") << "x";
    m_errors.LogFileName((m_folder / "plain-file" / "Error.log").string()); // a file is no folder
    add(0, 5, "kept");
    m_errors.DebugInfo("lost");
    EXPECT_EQ(m_errors.LastErrorCode(), 5);
    EXPECT_EQ(m_errors.GetHistoryAll(true), "Date/Time: 06.12.2009 20:14:05  Code: 5  Message: kept");
}

TEST_F(ErrorControllerTest, LogFileLivesInTheApplicationFolder) {
    EXPECT_EQ(ErrorController().LogFileName(), AppFilePath("Error.log"));
}

TEST(RegisterBuildInfo, SetsDateAndVersionOnTheSharedRegister) {
    ErrorController& shared = ErrorController::shared();
    EXPECT_EQ(&shared, &ErrorController::shared());
    RegisterBuildInfo();
    EXPECT_EQ(shared.BuildDate(), "30.07.2009");
    EXPECT_EQ(shared.BuildVersion(), "1.00");
}

} // namespace
