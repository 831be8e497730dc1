#include "QtBilliardAlt.h"

#include "MonitorCaptions.h"
#include "MyButton.h"

#include <QLabel>
#include <QTimer>

QtBilliardAlt::QtBilliardAlt(ControllerFlows& flows, QWidget* parent)
    : QtMonitorWindow(BilliardAlt::Layout, parent) {
    setObjectName(QStringLiteral("BilliardAlt"));
    const MonitorLayout& grid = layout();
    for (int t = 1; t <= TableCount; ++t) {
        m_lblSum[t] =
            addLabel(QStringLiteral("lblSum"), t, QString::fromUtf8(MonitorCaptions::Sum),
                     columnRect(t, grid.sumTop, grid.labelWidth, grid.labelHeight), grid.tableFontPoints);
        setBackground("lblSum", t, BilliardAlt::SumBackground);
        m_btnSet[t] =
            addTableButton(QStringLiteral("btnSet"), t, QString::fromUtf8(MonitorCaptions::StartButton));
    }
    m_displayInfoTimerEx = new QTimer(this);
    m_displayInfoTimerEx->setObjectName(QStringLiteral("DisplayInfoTimerEx"));

    adopt(std::make_unique<BilliardAlt>(*this, flows));
    for (int t = 1; t <= TableCount; ++t)
        connect(m_btnSet[t], &QPushButton::clicked, this, [this, t] { form().btnSet_Click(t); });
    connect(m_displayInfoTimerEx, &QTimer::timeout, this, [this] { form().DisplayInfoTimerEx_Timer(); });
}

QTimer* QtBilliardAlt::timer(Timer which) const {
    return which == Timer::DisplayInfoTimerEx ? m_displayInfoTimerEx : QtMonitorWindow::timer(which);
}
