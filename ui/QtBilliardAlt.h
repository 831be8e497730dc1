// The alternative-mode window's Qt shell: the shared widgets plus a charge label and Start button per
// table and the minute timer.
#pragma once

#include "BilliardAlt.h"
#include "QtMonitorWindow.h"

class QtBilliardAlt : public QtMonitorWindow {
    Q_OBJECT
public:
    explicit QtBilliardAlt(ControllerFlows& flows, QWidget* parent = nullptr);

    BilliardAlt& form() const { return static_cast<BilliardAlt&>(QtMonitorWindow::form()); }
    QLabel* lblSum(int table) const { return m_lblSum.at(table); }
    MyButton* btnSet(int table) const { return m_btnSet.at(table); }
    QTimer* DisplayInfoTimerEx() const { return m_displayInfoTimerEx; }

protected:
    QTimer* timer(Timer which) const override;

private:
    std::array<QLabel*, TableCount + 1> m_lblSum{}; // indexed by table number; 0 unused
    std::array<MyButton*, TableCount + 1> m_btnSet{};
    QTimer* m_displayInfoTimerEx = nullptr;
};
