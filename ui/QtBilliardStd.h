// The standard-mode window's Qt shell: the shared widgets plus a reset button per table.
#pragma once

#include "BilliardStd.h"
#include "QtMonitorWindow.h"

class QtBilliardStd : public QtMonitorWindow {
    Q_OBJECT
public:
    explicit QtBilliardStd(ControllerFlows& flows, QWidget* parent = nullptr);

    BilliardStd& form() const { return static_cast<BilliardStd&>(QtMonitorWindow::form()); }
    MyButton* btnReset(int table) const { return m_btnReset.at(table); }

private:
    std::array<MyButton*, TableCount + 1> m_btnReset{}; // indexed by table number; 0 unused
};
