#include "QtBilliardStd.h"

#include "ControlArray.h"
#include "MyButton.h"

QtBilliardStd::QtBilliardStd(ControllerFlows& flows, QWidget* parent)
    : QtMonitorWindow(MonitorMode::Standard, parent) {
    adopt(std::make_unique<BilliardStd>(*this, flows));
}

MyButton* QtBilliardStd::btnReset(int table) const {
    return FindControl<MyButton>(this, QStringLiteral("btnReset"), table);
}
