// quedrix-ctl ledger: the day's report in the user's number format, and what it refuses.
#include "ctl/LedgerCli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/ScopedEnv.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(LedgerCliTest, ReportsTheDayRefusesABadDayAndAnUnreadableFile) {
    USE_LOCALE_OR_SKIP(locale, "bg_BG.UTF-8");
    TempFolder home;
    ScopedEnv appFolder("QUEDRIX_HOME", home.path().c_str());
    home.write("Ledger.csv", "time,mode,table,event,seconds,band,rate,charge\r\n"
                             "2026-12-08T19:02:10+02:00,alternative,1,start,0,peak,0.50,0.00\r\n"
                             "2026-12-08T20:05:40+02:00,alternative,1,end,3810,peak,0.50,31.75\r\n"
                             "2026-12-08T21:30:12+02:00,standard,3,reset,750,,,\r\n"
                             "2026-12-08T21:3\r\n");
    std::ostringstream out, err;

    EXPECT_EQ(RunLedgerCommand({"--day", "2026-12-08"}, out, err), 0);
    EXPECT_EQ(out.str(), "2026-12-08 in " + home.file("Ledger.csv") +
                             "\n"
                             "Table 1\n"
                             "  20:05:40  end            01:03:30  peak     0,50  31,75\n"
                             "  sessions 1, time 01:03:30, charge 31,75\n"
                             "Table 3\n"
                             "  21:30:12  reset          00:12:30 left\n"
                             "  sessions 1, time 00:00:00, charge 0,00\n"
                             "Day: sessions 2, time 01:03:30, charge 31,75\n");
    EXPECT_EQ(err.str(), "quedrix-ctl: ledger: " + home.file("Ledger.csv") +
                             ": 1 line(s) that are no ledger lines skipped, the first is line 5\n");

    for (const char* day : {"2026-02-29", "2026-12-8", "08.12.2026", ""}) {
        err.str("");
        EXPECT_EQ(RunLedgerCommand({"--day", day}, out, err), 2) << day;
        EXPECT_NE(err.str().find("usage: quedrix-ctl ledger"), std::string::npos) << day;
    }

    err.str("");
    EXPECT_EQ(RunLedgerCommand({"--file", home.path()}, out, err), 1);
    EXPECT_EQ(err.str(), "quedrix-ctl: ledger: " + home.path() + " is not an ordinary file\n");
}

} // namespace
