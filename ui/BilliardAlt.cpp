#include "BilliardAlt.h"

#include "Billiard.h"
#include "Common.h"
#include "Configuration.h"
#include "ControlArray.h"
#include "ControllerDiscovery.h"
#include "ControllerFlows.h"
#include "Hourglass.h"
#include "MyButton.h"
#include "SystemClock.h"
#include "UserTimeSeparator.h"

#include <QLabel>
#include <QThread>
#include <QTimer>

namespace {

const MonitorLayout AlternativeLayout{
    .innerWidth = 12375,
    .innerHeight = 2145,
    .firstColumnLeft = 90,
    .columnStep = 1530,
    .labelWidth = 1500,
    .labelHeight = 285,
    .tableTop = 120,
    .timeTop = 450,
    .tableFontPoints = 12,
    .lineY = 1650,
    .lineRight = 12300,
    .info = {120, 1770, 5805, 255},
    .infoButton = {9570, 1710, 1335, 375},
    .hideButton = {10950, 1710, 1335, 375},
    // Hidden icon sources, under lblInfo as in the standard window.
    .flash = {{5190, 1710}, {5580, 1710}, {4800, 1710}},
};

constexpr int SumTop = 780;
constexpr int SetTop = 1110;
constexpr int SetWidth = 1485;
constexpr int SetHeight = 435;
const QColor SumBackground(128, 255, 255);

Tariff configuredTariff() {
    return {AppConfig.Peak, AppConfig.OffPeak, AppConfig.StartTime, AppConfig.EndTime};
}

} // namespace

BilliardAlt::BilliardAlt(ControllerFlows& flows, QWidget* parent)
    : MonitorWindow(AlternativeLayout, flows, parent), m_clock(&SystemClock::instance()),
      m_startPause([](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }) {
    setObjectName(QStringLiteral("BilliardAlt"));
    const MonitorLayout& grid = layout();
    for (int t = 1; t <= TableCount; ++t) {
        m_lblSum[t] =
            addLabel(QStringLiteral("lblSum"), t, QStringLiteral("0.00"),
                     columnRect(t, SumTop, grid.labelWidth, grid.labelHeight), grid.tableFontPoints);
        setBackground(m_lblSum[t], SumBackground);

        auto* button = new MyButton(QStringLiteral("Старт"), this);
        button->setObjectName(QStringLiteral("btnSet"));
        SetControlIndex(button, t);
        button->setGeometry(columnRect(t, SetTop, SetWidth, SetHeight));
        connect(button, &QPushButton::clicked, this, [this, t] { btnSet_Click(t); });
        m_btnSet[t] = button;
    }

    m_displayInfoTimerEx = new QTimer(this);
    m_displayInfoTimerEx->setObjectName(QStringLiteral("DisplayInfoTimerEx"));
    connect(m_displayInfoTimerEx, &QTimer::timeout, this, &BilliardAlt::DisplayInfoTimerEx_Timer);
    m_displayInfoTimerEx->start(MinuteIntervalMs);
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
    const std::string timeSeparator = UserTimeSeparator();
    OpenControllerPort();
    for (int t = 1; t <= TableCount; ++t) {
        const int32_t reading = GetTableCounter(t);
        // The clock is read per table, so tables on either side of a period's edge get its own rate.
        const double rate = RateNow(*m_clock, timeSeparator, tariff);
        showCells(t, AlternativeTableCells(reading, rate, decimalSeparator));
    }
    CloseControllerPort();
    m_refreshing = false;
}

void BilliardAlt::showCells(int table, const AlternativeCells& cells) {
    showTime(table, cells.time);
    m_lblSum.at(table)->setText(QString::fromStdString(cells.charge));
}

void BilliardAlt::DisplayInfoTimerEx_Timer() {
    if (isVisible())
        RefreshTables();
    SetHourglass(false);
}

void BilliardAlt::btnSet_Click(int table) {
    SetHourglass(true);
    // The refresh belongs to the same flow, so a Start that had to wait for another flow
    // is still followed by its own refresh.
    flows().request([this, table] {
        startTable(table);
        m_startPause(StartPauseMs);
        refreshPass();
        SetHourglass(false);
    });
}

void BilliardAlt::startTable(int table) {
    OpenControllerPort();
    // Only an idle table is started, so a second click does not restart a running one.
    if (GetTableCounter(table) == 0)
        SetTableCounter(table, IdleCounterBase);
    CloseControllerPort();
}
