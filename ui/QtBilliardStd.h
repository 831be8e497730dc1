// The standard-mode window's Qt shell: the widgets of its controls, a reset button per table among them.
#pragma once

#include "monitor/BilliardStd.h"
#include "ui/QtMonitorWindow.h"

class QtBilliardStd : public QtMonitorWindow {
    Q_OBJECT
public:
    explicit QtBilliardStd(ControllerFlows& flows, QWidget* parent = nullptr);

    BilliardStd& form() const { return static_cast<BilliardStd&>(QtMonitorWindow::form()); }
    MyButton* btnReset(int table) const;
};
