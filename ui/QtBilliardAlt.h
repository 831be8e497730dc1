// The alternative-mode window's Qt shell: the widgets of its controls (a charge label and Start button
// per table among them) and the minute timer.
#pragma once

#include "monitor/BilliardAlt.h"
#include "ui/QtMonitorWindow.h"

class QtBilliardAlt : public QtMonitorWindow {
    Q_OBJECT
public:
    explicit QtBilliardAlt(ControllerFlows& flows, QWidget* parent = nullptr);

    BilliardAlt& form() const { return static_cast<BilliardAlt&>(QtMonitorWindow::form()); }
    QLabel* lblSum(int table) const;
    MyButton* btnSet(int table) const;
    QTimer* DisplayInfoTimerEx() const { return m_displayInfoTimerEx; }

protected:
    QTimer* timer(Timer which) const override;

private:
    QTimer* m_displayInfoTimerEx = nullptr;
};
