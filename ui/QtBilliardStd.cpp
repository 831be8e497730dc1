#include "ui/QtBilliardStd.h"

#include "ui/ControlArray.h"
#include "ui/MyButton.h"

QtBilliardStd::QtBilliardStd(ControllerFlows& flows, QWidget* parent)
    : QtMonitorWindow(MonitorMode::Standard, parent) {
    adopt(std::make_unique<BilliardStd>(*this, flows));
}

MyButton* QtBilliardStd::btnReset(int table) const {
    return FindControl<MyButton>(this, QStringLiteral("btnReset"), table);
}
