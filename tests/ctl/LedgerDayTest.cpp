// One day of the ledger: which lines are sessions, what they add up to, what is skipped.
#include "ctl/LedgerDay.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct DayCase {
    const char* name;
    std::string bytes;
    // Each table's sessions "T:event seconds cents ...", then "day SESSIONS SECONDS CENTS", then
    // "skipped COUNT@FIRSTLINE" when lines were skipped.
    const char* expected;
};

void PrintTo(const DayCase& c, std::ostream* out) {
    *out << c.name;
}

std::string described(const LedgerDay& day) {
    std::string text;
    for (std::size_t t = 0; t < day.tables.size(); ++t)
        for (const LedgerSession& s : day.tables[t].sessions)
            text += std::to_string(t + 1) + ":" + s.event + " " + std::to_string(s.seconds) + " " +
                    std::to_string(s.cents) + " ";
    text += "day " + std::to_string(day.sessions) + " " + std::to_string(day.playedSeconds) + " " +
            std::to_string(day.cents);
    if (day.malformedLines > 0)
        text +=
            " skipped " + std::to_string(day.malformedLines) + "@" + std::to_string(day.firstMalformedLine);
    return text;
}

const std::string H = std::string(LedgerColumns) + "\r\n";
const std::string Start1 = "2026-12-08T19:02:10+02:00,alternative,1,start,0,peak,0.50,0.00\r\n";
const std::string End1 = "2026-12-08T20:05:40+02:00,alternative,1,end,3810,peak,0.50,31.75\r\n";
const std::string Unwatched2 =
    "2026-12-08T08:30:00+02:00,alternative,2,end-unwatched,2400,off-peak,0.30,12.00\r\n";
const std::string Reset3 = "2026-12-08T21:30:12+02:00,standard,3,reset,750,,,\r\n";
const std::string TimeUp3 = "2026-12-08T22:00:00+02:00,standard,3,time-up,0,,,\r\n";

class LedgerDayTest : public testing::TestWithParam<DayCase> {};

TEST_P(LedgerDayTest, Summarises) {
    EXPECT_EQ(described(SummariseLedgerDay(GetParam().bytes, "2026-12-08")), GetParam().expected);
}

const DayCase dayCases[] = {
    {"Empty", "", "day 0 0 0"},
    {"AlternativeEndsAreSessionsStartsAreNot", H + Start1 + End1 + Unwatched2,
     "1:end 3810 3175 2:end-unwatched 2400 1200 day 2 6210 4375"},
    {"StandardResetsWithTimeLeftAndTimeUpsAreSessionsWithoutTimePlayed",
     H + Reset3 + TimeUp3 + "2026-12-08T22:00:09+02:00,standard,3,reset,0,,,\r\n",
     "3:reset 750 0 3:time-up 0 0 day 2 0 0"},
    {"OtherDaysLeftOutASessionCountsOnTheDayItEnded",
     H + "2026-12-07T23:59:59+02:00,alternative,1,end,60,peak,0.50,0.50\r\n" +
         "2026-12-08T00:00:05+02:00,alternative,1,end,900,off-peak,0.30,4.50\r\n" +
         "2026-12-09T00:00:00Z,standard,3,reset,5,,,\r\n",
     "1:end 900 450 day 1 900 450"},
    {"TornLastLineLeftOut", H + End1 + "2026-12-08T21:05:40+02:00,alternative,4,end,36",
     "1:end 3810 3175 day 1 3810 3175"},
    {"TornLineThenAFreshLineSkipsOnlyTheTornOne",
     H + "2026-12-08T21:05:40+02:00,alternative,4,end,36\r\n" + End1,
     "1:end 3810 3175 day 1 3810 3175 skipped 1@2"},
    {"QuotedFields",
     H + "\"2026-12-08T20:05:40+02:00\",\"alternative\",\"5\",\"end\",\"60\",\"peak\",\"0.50\",\"0.50\"\r\n" +
         "2026-12-08T21:30:12+02:00,standard,6,\"reset\",10,\"\",,\"\"\r\n",
     "5:end 60 50 6:reset 10 0 day 2 60 50"},
    {"ByteOrderMarkLineFeedsAndBlankLines", "\xEF\xBB\xBF" + std::string(LedgerColumns) + "\n\r\n\n" + Reset3,
     "3:reset 750 0 day 1 0 0"},
    {"MalformedLinesSkippedAndCounted",
     H + End1 + "2026-12-08T20:05:40+02:00,alternative,1,end,3810,peak,0.50\r\n" +  // 7 fields
         "2026-12-08T20:05:40+02:00,alternative,9,end,3810,peak,0.50,31.75\r\n" +   // table 9
         "2026-12-08T20:05:40+02:00,alternative,1,reset,3810,peak,0.50,31.75\r\n" + // event of the other mode
         "2026-12-08T20:05:40+02:00,alternative,1,end,3810,peak,0.50,31.7\r\n" +    // one decimal
         "2026-12-08T20:05:40+02:00,alternative,1,end,3810,peak,0,50,31.75\r\n" +   // comma rate
         "2026-12-08T20:05:40+02:00,alternative,1,end,3810,rush,0.50,31.75\r\n" +   // band
         "2026-12-08T20:05:40+02:00,standard,3,reset,750,peak,,\r\n" +              // band in standard
         "2026-12-08T20:05:40+02:00,standard,3,reset,12x,,,\r\n" +                  // seconds
         "2026-12-08 20:05:40,standard,3,reset,750,,,\r\n" +                        // time
         "2026-12-08T20:05:40+02:00,\"standard,3,reset,750,,,\r\n" +                // open quote
         "2026-12-08T20:05:40+02:00,stan\"dard,3,reset,750,,,\r\n" +                // stray quote
         "\"2026-12-08T20:05:40+02:00\"x,standard,3,reset,750,,,\r\n" + TimeUp3,    // text after quote
     "1:end 3810 3175 3:time-up 0 0 day 2 3810 3175 skipped 12@3"},
};

INSTANTIATE_TEST_SUITE_P(Ledgers, LedgerDayTest, testing::ValuesIn(dayCases),
                         [](const testing::TestParamInfo<DayCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
