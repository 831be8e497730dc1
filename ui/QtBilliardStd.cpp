#include "QtBilliardStd.h"

#include "MonitorCaptions.h"
#include "MyButton.h"

QtBilliardStd::QtBilliardStd(ControllerFlows& flows, QWidget* parent)
    : QtMonitorWindow(BilliardStd::Layout, parent) {
    setObjectName(QStringLiteral("BilliardStd"));
    adopt(std::make_unique<BilliardStd>(*this, flows));
    for (int t = 1; t <= TableCount; ++t) {
        m_btnReset[t] =
            addTableButton(QStringLiteral("btnReset"), t, QString::fromUtf8(MonitorCaptions::ResetButton));
        connect(m_btnReset[t], &QPushButton::clicked, this, [this, t] { form().btnReset_Click(t); });
    }
}
