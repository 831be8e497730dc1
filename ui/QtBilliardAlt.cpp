#include "ui/QtBilliardAlt.h"

#include "ui/ControlArray.h"
#include "ui/MyButton.h"

#include <QLabel>
#include <QTimer>

QtBilliardAlt::QtBilliardAlt(ControllerFlows& flows, QWidget* parent)
    : QtMonitorWindow(MonitorMode::Alternative, parent) {
    m_displayInfoTimerEx = new QTimer(this);
    m_displayInfoTimerEx->setObjectName(QStringLiteral("DisplayInfoTimerEx"));

    // The behaviour starts the minute timer as it is made.
    adopt(std::make_unique<BilliardAlt>(*this, flows));
    connect(m_displayInfoTimerEx, &QTimer::timeout, this, [this] { form().DisplayInfoTimerEx_Timer(); });
}

QLabel* QtBilliardAlt::lblSum(int table) const {
    return FindControl<QLabel>(this, QStringLiteral("lblSum"), table);
}

MyButton* QtBilliardAlt::btnSet(int table) const {
    return FindControl<MyButton>(this, QStringLiteral("btnSet"), table);
}

QTimer* QtBilliardAlt::timer(Timer which) const {
    return which == Timer::DisplayInfoTimerEx ? m_displayInfoTimerEx : QtMonitorWindow::timer(which);
}
