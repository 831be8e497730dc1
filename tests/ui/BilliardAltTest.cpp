#include "tests/ui/WindowFixture.h"

#include "common/Configuration.h"
#include "monitor/Hourglass.h"
#include "monitor/modSysTry.h"
#include "ui/ControlArray.h"
#include "ui/MyButton.h"
#include "ui/QtTrayIcon.h"

#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <clocale>
#include <utility>

namespace {

struct SettableClock : Clock {
    TimeOfDay now{12, 0};
    TimeOfDay localTimeOfDay() const override { return now; }
};

const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);

// The window of the alternative mode on the test clock, with the tariff 0.50 from 08:00 to 18:00
// and 0.30 outside; AppConfig is given back as it was.
class BilliardAltTest : public WindowFixtureOf<QtBilliardAlt> {
protected:
    BilliardAltTest() : m_savedConfig(AppConfig) {
        window->form().setClock(clock);
        AppConfig.Peak = 0.50;
        AppConfig.OffPeak = 0.30;
        AppConfig.StartTime = "08:00";
        AppConfig.EndTime = "18:00";
    }
    ~BilliardAltTest() override {
        AppConfig = m_savedConfig;
        SetHourglass(false);
    }

    // Start clicks pause without sleeping; records each pause with what had happened by then.
    void recordPauses() {
        window->form().setStartPause([this](int ms) {
            pauses.push_back({ms, controller ? controller->requests() : std::vector<std::string>{},
                              ControllerSerial().PortOpen(), QGuiApplication::overrideCursor() != nullptr});
            if (duringPause)
                std::exchange(duringPause, nullptr)();
        });
    }

    static std::vector<std::string> then(std::vector<std::string> first,
                                         const std::vector<std::string>& more) {
        first.insert(first.end(), more.begin(), more.end());
        return first;
    }

    struct Pause {
        int ms;
        std::vector<std::string> requestsSoFar;
        bool portOpen;
        bool hourglass;
    };
    std::vector<Pause> pauses;
    std::function<void()> duringPause; // runs once, inside the next pause
    SettableClock clock;

private:
    AppConfigRecord m_savedConfig;
};

TEST_F(BilliardAltTest, ControlsCarryTheirNamesCaptionsPlacesAndFaces) {
    EXPECT_EQ(window->objectName(), QStringLiteral("BilliardAlt"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zentrovik Quedrix"));
    EXPECT_EQ(window->size(), QSize(825, 143));

    for (int t = 1; t <= TableCount; ++t) {
        SCOPED_TRACE(t);
        const int left = 6 + (t - 1) * 102;
        QLabel* table = FindControl<QLabel>(window.get(), QStringLiteral("lblTable"), t);
        QLabel* time = FindControl<QLabel>(window.get(), QStringLiteral("lblTime"), t);
        QLabel* sum = FindControl<QLabel>(window.get(), QStringLiteral("lblSum"), t);
        MyButton* start = FindControl<MyButton>(window.get(), QStringLiteral("btnSet"), t);
        ASSERT_EQ(table, window->lblTable(t));
        ASSERT_EQ(time, window->lblTime(t));
        ASSERT_EQ(sum, window->lblSum(t));
        ASSERT_EQ(start, window->btnSet(t));
        EXPECT_EQ(table->text(), QStringLiteral("Маса %1").arg(t));
        EXPECT_EQ(table->geometry(), QRect(left, 8, 100, 19));
        EXPECT_EQ(time->text(), QStringLiteral("00:00:00"));
        EXPECT_EQ(time->geometry(), QRect(left, 30, 100, 19));
        EXPECT_EQ(background(time), Red);
        EXPECT_EQ(sum->text(), QStringLiteral("0.00"));
        EXPECT_EQ(sum->geometry(), QRect(left, 52, 100, 19));
        EXPECT_EQ(background(sum), QColor(128, 255, 255));
        EXPECT_EQ(start->text(), QStringLiteral("Старт"));
        EXPECT_EQ(start->geometry(), QRect(left, 74, 99, 29));
        for (const QLabel* label : {table, time, sum}) {
            EXPECT_TRUE(label->font().bold());
            EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 12.0);
        }
    }
    EXPECT_TRUE(window->findChildren<MyButton*>(QStringLiteral("btnReset")).isEmpty());

    EXPECT_EQ(window->lblInfo()->text(), QStringLiteral("Не е открит контролер"));
    EXPECT_EQ(window->lblInfo()->geometry(), QRect(8, 118, 387, 17));
    EXPECT_DOUBLE_EQ(window->lblInfo()->font().pointSizeF(), 8.25);
    EXPECT_EQ(window->btnInfo()->geometry(), QRect(638, 114, 89, 25));
    EXPECT_EQ(window->btnHide()->geometry(), QRect(730, 114, 89, 25));
    QFrame* line = FindControl<QFrame>(window.get(), QStringLiteral("Line1"));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->geometry().topLeft(), QPoint(6, 110));
    EXPECT_EQ(line->geometry().right(), 820);

    QTimer* minute = window->findChild<QTimer*>(QStringLiteral("DisplayInfoTimerEx"));
    ASSERT_EQ(minute, window->DisplayInfoTimerEx());
    EXPECT_EQ(minute->interval(), 60000);
    EXPECT_TRUE(minute->isActive());
    EXPECT_FALSE(window->DisplayInfoTimer()->isActive());
}

struct StartCase {
    const char* name;
    int32_t counter; // table 2's counter before the click
    int32_t unanswered;
    std::vector<std::string> startRequests;
};

void PrintTo(const StartCase& c, std::ostream* out) {
    *out << c.name;
}

class StartTest : public BilliardAltTest, public testing::WithParamInterface<StartCase> {};

TEST_P(StartTest, ReadsWritesOnlyAnIdleTableThenPausesAndRefreshes) {
    const StartCase& c = GetParam();
    SimOptions options = StillController({500, c.counter, 0, 0, 0, 0, 0, 0});
    options.ignoreFirst = c.unanswered;
    SimulatedController& sim = connect(options);
    ControllerPort = 1;
    recordPauses();

    window->btnSet(2)->click();

    ASSERT_EQ(pauses.size(), 1u);
    EXPECT_EQ(pauses[0].ms, 1300);
    EXPECT_EQ(pauses[0].requestsSoFar, c.startRequests);
    EXPECT_FALSE(pauses[0].portOpen);
    EXPECT_TRUE(pauses[0].hourglass);
    EXPECT_EQ(sim.requests(), then(c.startRequests, AllTables));
    for (const SimulatedController::Request& request : sim.timedRequests()) {
        if (request.name.front() == 'C') {
            EXPECT_EQ(request.value, 32000);
        }
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(ControllerSerial().PortOpen());
    EXPECT_EQ(window->lblTime(1)->text(), QStringLiteral("08:45:00"));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, StartTest,
    testing::Values(StartCase{"idle", 0, 0, {"G02", "C02"}}, StartCase{"running", 31000, 0, {"G02"}},
                    // Three tries without a reply: the reading is -1 and nothing is written.
                    StartCase{"silent", 0, 3, {"G02", "G02", "G02"}}),
    [](const testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST_F(BilliardAltTest, StartPausesAboutOneAndAThirdSecondsThenShowsTheTableRunning) {
    SimOptions options = StillController({0, 0, 0, 0, 0, 0, 0, 0});
    options.tickMs = 1000;
    SimulatedController& sim = connect(options);
    ControllerPort = 1;

    window->btnSet(2)->click();

    const std::vector<SimulatedController::Request> requests = sim.timedRequests();
    ASSERT_EQ(requests.size(), 10u);
    ASSERT_EQ(requests[1].name, "C02");
    ASSERT_EQ(requests[2].name, "G01");
    const double gap = std::chrono::duration<double>(requests[2].at - requests[1].at).count();
    EXPECT_GE(gap, 1.2);
    EXPECT_LE(gap, 2.0);
    // The counter went down by one in the pause: one second played, on green, at the peak rate.
    EXPECT_EQ(window->lblTime(2)->text(), QStringLiteral("00:00:01"));
    EXPECT_EQ(background(window->lblTime(2)), Green);
    EXPECT_EQ(window->lblSum(2)->text(), QStringLiteral("0.01"));
}

TEST_F(BilliardAltTest, ClicksDuringAStartRunAfterItInClickOrder) {
    SimulatedController& sim = connect(StillController({0, 0, 0, 0, 0, 0, 0, 0}));
    ControllerPort = 1;
    recordPauses();
    // A click handled by the events the serial line lets run in the middle of the first exchange...
    std::vector<bool> busyAtClick;
    QTimer::singleShot(0, window.get(), [&] {
        busyAtClick.push_back(flows.busy());
        window->btnSet(4)->click();
    });
    // ...and one that arrives while the pause blocks the thread, delivered once it is over.
    duringPause = [&] { QMetaObject::invokeMethod(window->btnSet(3), "click", Qt::QueuedConnection); };

    window->btnSet(2)->click();

    ASSERT_EQ(busyAtClick, std::vector<bool>{true}) << "the click did not land inside the first Start";
    EXPECT_EQ(
        sim.requests(),
        then(then(then(then(then({"G02", "C02"}, AllTables), {"G04", "C04"}), AllTables), {"G03", "C03"}),
             AllTables));
    EXPECT_EQ(pauses.size(), 3u);
    EXPECT_EQ(flows.pending(), 0u);
}

TEST_F(BilliardAltTest, HiddenWindowSendsNothingOnTenTicks) {
    SimulatedController& sim = connect(StillController({31000, 0, 0, 0, 0, 0, 0, 0}));
    ControllerPort = 1;
    QSignalSpy ticks(window->DisplayInfoTimerEx(), &QTimer::timeout);
    window->DisplayInfoTimerEx()->setInterval(20);
    SetHourglass(true);

    ASSERT_TRUE(WaitUntil([&] { return ticks.count() >= 10; }));
    window->form().Form_Activate(); // activation does not refresh in this mode either

    EXPECT_TRUE(sim.requests().empty());
    EXPECT_EQ(window->lblTime(1)->text(), QStringLiteral("00:00:00"));
    // Each tick puts the normal pointer back, shown or not.
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(BilliardAltTest, VisibleWindowRefreshesOncePerTick) {
    SimulatedController& sim = connect(StillController({31000, 0, 0, 0, 0, 0, 0, 0}));
    ControllerPort = 1;
    window->show();
    QSignalSpy ticks(window->DisplayInfoTimerEx(), &QTimer::timeout);
    // Far longer than one refresh, so no tick lands inside another tick's refresh.
    window->DisplayInfoTimerEx()->setInterval(400);

    ASSERT_TRUE(WaitUntil([&] { return ticks.count() >= 3; }));
    window->DisplayInfoTimerEx()->stop();

    ASSERT_GE(ticks.count(), 3);
    EXPECT_EQ(sim.requests().size(), 8u * static_cast<std::size_t>(ticks.count()));
    EXPECT_EQ(window->lblTime(1)->text(), QStringLiteral("00:16:40"));
    EXPECT_EQ(background(window->lblTime(1)), Green);
}

TEST_F(BilliardAltTest, ARefreshAskedForDuringARefreshChangesNothing) {
    SimulatedController& sim = connect(StillController({31000, 0, 0, 0, 0, 0, 0, 0}));
    ControllerPort = 1;
    window->show();
    std::vector<bool> refreshingAtRequest;
    QTimer::singleShot(0, window.get(), [&] {
        refreshingAtRequest.push_back(window->form().Refreshing());
        window->form().RefreshTables();
        window->btnInfo()->click();
        window->form().DisplayInfoTimerEx_Timer();
        window->form().DisplayInfoTimer_Timer();
    });

    window->form().RefreshTables();
    QTest::qWait(100);

    ASSERT_EQ(refreshingAtRequest, std::vector<bool>{true}) << "the requests did not land inside the refresh";
    EXPECT_EQ(sim.requests(), AllTables);
    EXPECT_FALSE(window->form().Refreshing());
    EXPECT_EQ(flows.pending(), 0u);
}

TEST_F(BilliardAltTest, ARefreshAskedForDuringAStartFollowsIt) {
    SimulatedController& sim = connect(StillController({0, 0, 0, 0, 0, 0, 0, 0}));
    ControllerPort = 1;
    recordPauses();
    QTimer::singleShot(0, window.get(), [&] { window->btnInfo()->click(); });

    window->btnSet(2)->click();

    EXPECT_EQ(sim.requests(), then(then({"G02", "C02"}, AllTables), AllTables));
}

TEST_F(BilliardAltTest, DoubleClickOnTheTrayRefreshesOnceThroughTheTimer) {
    SimulatedController& sim = connect(StillController({31000, 0, 0, 0, 0, 0, 0, 0}));
    window->setTrayAvailability([] { return true; });
    window->form().loadHidden();
    ASSERT_EQ(ControllerPort, 1);

    emit TrayIcon()->activated(QSystemTrayIcon::DoubleClick);

    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return sim.requests('G').size() >= 8; }));
    QTest::qWait(700);
    EXPECT_EQ(sim.requests('G').size(), 8u);
    EXPECT_EQ(window->lblTime(1)->text(), QStringLiteral("00:16:40"));
}

TEST_F(BilliardAltTest, NoControllerLeavesLabelsAndPortAlone) {
    SimulatedController& sim = connect(StillController({31000, 0, 0, 0, 0, 0, 0, 0}));
    ControllerPort = 0;
    window->show();

    window->btnInfo()->click();
    window->form().DisplayInfoTimerEx_Timer();
    window->form().DisplayInfoTimer_Timer();

    EXPECT_EQ(window->lblTime(1)->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(window->lblSum(1)->text(), QStringLiteral("0.00"));
    EXPECT_TRUE(sim.requests().empty());
}

struct ChargeCase {
    const char* name;
    int32_t reading; // -1: the table does not answer
    TimeOfDay now;
    const char* startTime;
    const char* endTime;
    double peak;
    double offPeak;
    const char* time;
    QColor colour;
    const char* charge;
};

void PrintTo(const ChargeCase& c, std::ostream* out) {
    *out << c.name;
}

class ChargeTest : public BilliardAltTest, public testing::WithParamInterface<ChargeCase> {};

TEST_P(ChargeTest, ShowsElapsedTimeAndChargeAtTheRateInForce) {
    const ChargeCase& c = GetParam();
    SimOptions options = StillController({c.reading, 0, 0, 0, 0, 0, 0, 0});
    if (c.reading < 0)
        options.silentTables = {1};
    connect(options);
    ControllerPort = 1;
    clock.now = c.now;
    AppConfig.StartTime = c.startTime;
    AppConfig.EndTime = c.endTime;
    AppConfig.Peak = c.peak;
    AppConfig.OffPeak = c.offPeak;

    window->btnInfo()->click();

    EXPECT_EQ(window->lblTime(1)->text(), QString::fromUtf8(c.time));
    EXPECT_EQ(background(window->lblTime(1)), c.colour);
    EXPECT_EQ(window->lblSum(1)->text(), QString::fromUtf8(c.charge));
    EXPECT_EQ(window->lblTime(2)->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(window->lblSum(2)->text(), QStringLiteral("0.00"));
}

INSTANTIATE_TEST_SUITE_P(
    Tariffs, ChargeTest,
    testing::Values(
        ChargeCase{"OneSecondAtNoon", 31999, {12, 0}, "08:00", "18:00", 0.5, 0.3, "00:00:01", Green, "0.01"},
        ChargeCase{"HourAtPeakEnd", 28400, {18, 0}, "08:00", "18:00", 0.5, 0.3, "01:00:00", Green, "30.00"},
        ChargeCase{
            "HourAfterPeakEnd", 28400, {18, 1}, "08:00", "18:00", 0.5, 0.3, "01:00:00", Green, "18.00"},
        ChargeCase{"HourAtPeakStart", 28400, {8, 0}, "08:00", "18:00", 0.5, 0.3, "01:00:00", Green, "30.00"},
        ChargeCase{
            "HourBeforePeakStart", 28400, {7, 59}, "08:00", "18:00", 0.5, 0.3, "01:00:00", Green, "18.00"},
        // "8:00" sorts after every "HH:MM" text, so the peak rate never applies.
        ChargeCase{
            "OneDigitStartAtNoon", 28400, {12, 0}, "8:00", "18:00", 0.5, 0.3, "01:00:00", Green, "18.00"},
        ChargeCase{
            "OneDigitStartAtEight", 28400, {8, 0}, "8:00", "18:00", 0.5, 0.3, "01:00:00", Green, "18.00"},
        ChargeCase{"NoTariff", 28400, {12, 0}, "", "", 0, 0, "01:00:00", Green, "0.00"},
        ChargeCase{"Idle", 0, {12, 0}, "08:00", "18:00", 0.5, 0.3, "00:00:00", Red, "0.00"},
        ChargeCase{"AboveTheStartValue", 32001, {12, 0}, "08:00", "18:00", 0.5, 0.3, "---", Red, "---"},
        ChargeCase{"NoReply", -1, {12, 0}, "08:00", "18:00", 0.5, 0.3, "---", Red, "---"}),
    [](const testing::TestParamInfo<ChargeCase>& info) { return std::string(info.param.name); });

// The numeric part of the process locale set to the first of these that the machine has; restored after.
class NumericLocale {
public:
    explicit NumericLocale(std::initializer_list<const char*> names)
        : m_saved(std::setlocale(LC_NUMERIC, nullptr)) {
        for (const char* name : names) {
            if (std::setlocale(LC_NUMERIC, name)) {
                m_set = true;
                break;
            }
        }
    }
    ~NumericLocale() { std::setlocale(LC_NUMERIC, m_saved.c_str()); }
    bool set() const { return m_set; }

private:
    std::string m_saved;
    bool m_set = false;
};

TEST_F(BilliardAltTest, ChargeUsesTheUsersDecimalSeparator) {
    connect(StillController({28400, 0, 0, 0, 0, 0, 0, 0}));
    ControllerPort = 1;
    clock.now = {18, 0};
    NumericLocale comma({"de_DE.UTF-8", "bg_BG.UTF-8", "de_DE.utf8", "bg_BG.utf8"});
    if (!comma.set())
        GTEST_SKIP() << "no locale with a decimal comma (scripts/setup-deps.sh generates them)";

    window->btnInfo()->click();

    EXPECT_EQ(window->lblSum(1)->text(), QStringLiteral("30,00"));
    EXPECT_EQ(window->lblSum(2)->text(), QStringLiteral("0,00"));
}

} // namespace
