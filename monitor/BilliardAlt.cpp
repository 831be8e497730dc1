#include "monitor/BilliardAlt.h"

#include "common/Common.h"
#include "common/Configuration.h"
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFlows.h"
#include "monitor/SystemClock.h"

#include <chrono>
#include <thread>

const MonitorLayout BilliardAlt::Layout{
    .innerWidth = 12375,
    .innerHeight = 2145,
    .firstColumnLeft = 90,
    .columnStep = 1530,
    .labelWidth = 1500,
    .labelHeight = 285,
    .tableTop = 120,
    .timeTop = 450,
    .sumTop = 780,
    .tableButtonTop = 1110,
    .tableButtonWidth = 1485,
    .tableButtonHeight = 435,
    .tableFontPoints = 12,
    .lineY = 1650,
    .lineRight = 12300,
    .info = {120, 1770, 5805, 255},
    .infoButton = {9570, 1710, 1335, 375},
    .hideButton = {10950, 1710, 1335, 375},
    // Hidden icon sources, under lblInfo as in the standard window.
    .flash = {{5190, 1710}, {5580, 1710}, {4800, 1710}},
};

namespace {

Tariff configuredTariff() {
    return {AppConfig.Peak, AppConfig.OffPeak, AppConfig.StartTime, AppConfig.EndTime};
}

} // namespace

BilliardAlt::BilliardAlt(MonitorView& view, ControllerFlows& flows)
    : MonitorWindow(view, flows), m_clock(&SystemClock::instance()),
      m_startPause([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }) {
    view.startWindowTimer(MonitorView::Timer::DisplayInfoTimerEx, MinuteIntervalMs);
}

void BilliardAlt::setClock(const Clock& clock) {
    m_clock = &clock;
}

void BilliardAlt::setStartPause(Pause pause) {
    m_startPause = std::move(pause);
}

void BilliardAlt::RefreshTables() {
    // A refresh asked for in the middle of one (through the events the serial line lets run)
    // adds nothing. One asked for during another flow runs after it.
    if (m_refreshing)
        return;
    flows().request([this] { refreshPass(); }, ControllerFlows::Kind::Refresh);
}

void BilliardAlt::refreshPass() {
    if (ControllerPort == 0)
        return;
    m_refreshing = true;
    const Tariff tariff = configuredTariff();
    const std::string decimalSeparator = GetDecimalSeparator();
    const std::string timeSeparator = view().userTimeSeparator();
    OpenControllerPort();
    PassReadings readings;
    for (int t = 1; t <= TableCount; ++t) {
        TableReading& r = readings[t];
        r.reading = GetTableCounter(t);
        // The clock is read per table, so tables on either side of a period's edge get its own rate.
        r.peak = PeakNow(*m_clock, timeSeparator, tariff);
        r.rate = r.peak ? tariff.peak : tariff.offPeak;
        showCells(t, AlternativeTableCells(r.reading, r.rate, decimalSeparator));
    }
    CloseControllerPort();
    watchPass(readings);
    m_refreshing = false;
}

void BilliardAlt::showCells(int table, const AlternativeCells& cells) {
    showTime(table, cells.time);
    view().setCaption("lblSum", table, cells.charge);
}

void BilliardAlt::DisplayInfoTimerEx_Timer() {
    if (view().windowVisible())
        RefreshTables();
    view().setHourglass(false);
}

void BilliardAlt::Button_Click(const std::string& name, int index) {
    if (name == "btnSet")
        btnSet_Click(index);
    else
        MonitorWindow::Button_Click(name, index);
}

void BilliardAlt::btnSet_Click(int table) {
    view().setHourglass(true);
    // The refresh belongs to the same flow, so a Start that had to wait for another flow
    // is still followed by its own refresh.
    flows().request([this, table] {
        startTable(table);
        m_startPause(StartPauseMs);
        refreshPass();
        view().setHourglass(false);
    });
}

void BilliardAlt::startTable(int table) {
    OpenControllerPort();
    // Only an idle table is started, so a second click does not restart a running one.
    if (GetTableCounter(table) == 0)
        SetTableCounter(table, IdleCounterBase);
    CloseControllerPort();
}
