// The watch over a fake clock: the ledger's lines, Watch.state across restarts, the alerts.
#include "monitor/HallWatch.h"

#include "errlog/ErrorController.h"
#include "tests/monitor/FakeWallClock.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Lines = std::vector<std::string>;

constexpr char kHeader[] = "time,mode,table,event,seconds,band,rate,charge";

// Peak 0.50 from 08:00 to 18:00, off-peak 0.30; the clock stands at 21:40 (+02:00).
class HallWatchTest : public testing::Test {
protected:
    std::unique_ptr<HallWatch> makeWatch(MonitorMode mode, int longSession = 0) {
        HallWatch::Setup setup;
        setup.mode = mode;
        setup.settings = {true, 15, longSession};
        setup.ledgerPath = dir.file("Ledger.csv");
        setup.statePath = dir.file("Watch.state");
        setup.tariff = {0.5, 0.3, "08:00", "18:00"};
        setup.timeSeparator = ":";
        return std::make_unique<HallWatch>(setup, clock, [this](const WatchAlert& a) {
            alerts.push_back((a.timeUp ? "time-up " : "") + a.text);
        });
    }

    // One pass, seconds after the last one, with table 3 reading this (the others idle or silent).
    void pass(HallWatch& watch, int64_t after, int32_t table3, int32_t others = 0) {
        clock.seconds += after;
        PassReadings readings;
        for (int t = 1; t <= TableCount; ++t)
            readings[t] = {t == 3 ? table3 : others, false, 0.3};
        watch.observe(readings);
    }

    // The ledger's lines after the header, without their CRLF.
    Lines ledger() const {
        std::istringstream in(dir.read("Ledger.csv"));
        Lines lines;
        for (std::string line; std::getline(in, line);) {
            EXPECT_TRUE(line.ends_with('\r')) << line;
            lines.push_back(line.substr(0, line.size() - 1));
        }
        if (!lines.empty()) {
            EXPECT_EQ(lines.front(), kHeader);
            lines.erase(lines.begin());
        }
        return lines;
    }

    TempFolder dir;
    FakeWallClock clock;
    Lines alerts;
};

TEST_F(HallWatchTest, AlternativeSessionFromItsStartToItsEnd) {
    auto watch = makeWatch(MonitorMode::Alternative);
    pass(*watch, 0, 0);
    pass(*watch, 15, 32000 - 2);    // started 2 s before this pass
    pass(*watch, 600, 32000 - 602); // still running: no line
    pass(*watch, 15, -1);           // no reply: nothing known
    pass(*watch, 15, 0);            // idle: the end, with the last values read while it ran
    EXPECT_EQ(ledger(), (Lines{"2026-12-08T21:40:13+02:00,alternative,3,start,0,off-peak,0.3,0.00",
                               "2026-12-08T21:50:15+02:00,alternative,3,end,602,off-peak,0.3,3.01"}));
    EXPECT_TRUE(alerts.empty());
}

TEST_F(HallWatchTest, ARunningTableFirstSeenStartsAtTheTimeItsCounterGives) {
    clock.seconds -= 12 * 3600; // 09:40, in the peak period; started at 08:40
    auto watch = makeWatch(MonitorMode::Alternative);
    pass(*watch, 0, 32000 - 3600);
    pass(*watch, 10, 32000 - 10); // started anew in between: the old session ends, a new one starts
    EXPECT_EQ(ledger(), (Lines{"2026-12-08T08:40:00+02:00,alternative,3,start,0,peak,0.5,0.00",
                               "2026-12-08T09:40:00+02:00,alternative,3,end,3600,off-peak,0.3,18.00",
                               "2026-12-08T09:40:00+02:00,alternative,3,start,0,peak,0.5,0.00"}));
}

TEST_F(HallWatchTest, ARestartEndsWhatStoppedUnwatchedAndGoesOnWithWhatRuns) {
    {
        auto watch = makeWatch(MonitorMode::Alternative);
        pass(*watch, 0, 32000 - 60, 32000 - 120); // tables 1, 2, 4..8 and 3 running
    }
    ASSERT_EQ(ledger().size(), 8u);
    auto watch = makeWatch(MonitorMode::Alternative);
    pass(*watch, 300, 32000 - 360, 0); // only table 3 still runs
    pass(*watch, 15, 0, 0);
    const Lines lines = ledger();
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[8], "2026-12-08T21:40:00+02:00,alternative,1,end-unwatched,120,off-peak,0.3,0.60");
    EXPECT_EQ(lines[15], "2026-12-08T21:45:00+02:00,alternative,3,end,360,off-peak,0.3,1.80");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find(",start,") != std::string::npos; }),
              8);
}

TEST_F(HallWatchTest, ALineLeftPendingByAKilledCopyIsAppendedOnceOnly) {
    const std::string line = "2026-12-08T21:40:00+02:00,alternative,5,end,60,off-peak,0.3,0.30\r\n";
    for (const bool alreadyInLedger : {false, true}) {
        dir.write("Ledger.csv", std::string(kHeader) + "\r\n" + (alreadyInLedger ? line : ""));
        dir.write("Watch.state", "pending," + line.substr(0, line.size() - 2) + "\n");
        makeWatch(MonitorMode::Alternative);
        EXPECT_EQ(ledger(), Lines{line.substr(0, line.size() - 2)});
        EXPECT_EQ(dir.read("Watch.state"), "");
    }
}

TEST_F(HallWatchTest, StandardTimeUpAlertsWhileAStopBeforeItsTimeDoesNot) {
    auto watch = makeWatch(MonitorMode::Standard);
    pass(*watch, 0, 12, 900);
    pass(*watch, 15, 0, 0); // table 3 ran out; the others had 885 s left: stopped, not run out
    pass(*watch, 15, 0, 0);
    watch->recordReset(1, 0);
    pass(*watch, 15, 30);
    watch->recordReset(3, 29);
    pass(*watch, 15, 0); // reset by the click: no time-up
    EXPECT_EQ(ledger(), (Lines{"2026-12-08T21:40:15+02:00,standard,3,time-up,0,,,",
                               "2026-12-08T21:40:30+02:00,standard,1,reset,0,,,",
                               "2026-12-08T21:40:45+02:00,standard,3,reset,29,,,"}));
    EXPECT_EQ(alerts, Lines{"time-up Маса 3: времето изтече"});
    EXPECT_FALSE(std::filesystem::exists(dir.file("Watch.state")));
}

TEST_F(HallWatchTest, ALongSessionIsReportedOnceAlsoAcrossARestart) {
    {
        auto watch = makeWatch(MonitorMode::Alternative, 60);
        pass(*watch, 0, 32000 - 3590);
        pass(*watch, 15, 32000 - 3605);
        pass(*watch, 15, 32000 - 3620);
    }
    auto watch = makeWatch(MonitorMode::Alternative, 60);
    pass(*watch, 15, 32000 - 3635);
    EXPECT_EQ(alerts, Lines{"Маса 3: играе повече от 60 мин."});
}

TEST_F(HallWatchTest, ALedgerThatCannotBeWrittenIsLoggedOnceAndTheWatchGoesOn) {
    ErrorController::shared().LogFileName(dir.file("Error.log"));
    std::filesystem::create_directory(dir.file("Ledger.csv")); // a folder in the file's place
    auto watch = makeWatch(MonitorMode::Standard);
    pass(*watch, 0, 5);
    pass(*watch, 15, 0);
    pass(*watch, 15, 5);
    pass(*watch, 15, 0);
    EXPECT_EQ(alerts.size(), 2u);
    const std::string log = dir.read("Error.log");
    EXPECT_NE(log.find("Ledger.csv"), std::string::npos) << log;
    EXPECT_EQ(log.find("Ledger.csv"), log.rfind("Ledger.csv")) << log;
}

struct LineCase {
    LedgerRecord record;
    const char* line;
};

class LedgerLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(LedgerLineTest, IsTheFixedCsvLine) {
    EXPECT_EQ(LedgerLine(GetParam().record), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Records, LedgerLineTest,
    testing::Values(LineCase{{LocalTimeAtOffset(1796758800, 7200), MonitorMode::Alternative, 8,
                              LedgerEvent::End, 3600, true, 0.0125, "0.75"},
                             "2026-12-08T21:40:00+02:00,alternative,8,end,3600,peak,0.0125,0.75\r\n"},
                    LineCase{{LocalTimeAtOffset(1796758800, -(3 * 3600 + 1800)), MonitorMode::Alternative, 1,
                              LedgerEvent::EndUnwatched, 5, false, 12, "1.00"},
                             "2026-12-08T16:10:00-03:30,alternative,1,end-unwatched,5,off-peak,12,1.00\r\n"},
                    LineCase{{LocalTimeAtOffset(0, 0), MonitorMode::Standard, 2, LedgerEvent::Reset, 61,
                              false, 0, ""},
                             "1970-01-01T00:00:00+00:00,standard,2,reset,61,,,\r\n"}));

TEST(WatchState, ReadsBackWhatItWritesAndSkipsWhatDoesNotRead) {
    WatchStateData data;
    data.sessions = {{3, 1796758800, 602, 1796759400, true, 0.5, "5.02", true},
                     {8, 17, 0, 17, false, 0.1, "0.00", false}};
    data.pending = "a,line\r\n";
    EXPECT_EQ(ParseWatchState(WatchStateText(data)), data);
    EXPECT_EQ(ParseWatchState("session,9,1,2,3,peak,0.5,0.00,0\nsession,x\n" + WatchStateText(data)), data);
}

} // namespace
