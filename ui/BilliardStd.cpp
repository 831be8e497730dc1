#include "BilliardStd.h"

#include "Billiard.h"
#include "ControlArray.h"
#include "ControllerDiscovery.h"
#include "ControllerFlows.h"
#include "MyButton.h"

namespace {

const MonitorLayout StandardLayout{
    .innerWidth = 8775,
    .innerHeight = 1665,
    .firstColumnLeft = 90,
    .columnStep = 1080,
    .labelWidth = 1035,
    .labelHeight = 225,
    .tableTop = 120,
    .timeTop = 390,
    .tableFontPoints = 8.25,
    .lineY = 1140,
    .lineRight = 8700,
    .info = {120, 1320, 5805, 255},
    .infoButton = {5970, 1230, 1335, 375},
    .hideButton = {7350, 1230, 1335, 375},
    .flash = {{5190, 1260}, {5580, 1260}, {4800, 1260}},
};

constexpr int ResetTop = 660;
constexpr int ResetHeight = 435;

} // namespace

BilliardStd::BilliardStd(ControllerFlows& flows, QWidget* parent)
    : MonitorWindow(StandardLayout, flows, parent) {
    setObjectName(QStringLiteral("BilliardStd"));
    for (int t = 1; t <= TableCount; ++t) {
        auto* button = new MyButton(QStringLiteral("Спиране"), this);
        button->setObjectName(QStringLiteral("btnReset"));
        SetControlIndex(button, t);
        button->setGeometry(columnRect(t, ResetTop, layout().labelWidth, ResetHeight));
        connect(button, &QPushButton::clicked, this, [this, t] { btnReset_Click(t); });
        m_btnReset[t] = button;
    }
}

void BilliardStd::RefreshTables() {
    flows().request([this] { refreshPass(); }, ControllerFlows::Kind::Refresh);
}

void BilliardStd::refreshPass() {
    if (ControllerPort == 0)
        return;
    OpenControllerPort();
    for (int t = 1; t <= TableCount; ++t)
        showTime(t, StandardTimeCell(GetTableCounter(t)));
    CloseControllerPort();
}

void BilliardStd::Form_Activate() {
    RefreshTables();
    MonitorWindow::Form_Activate();
}

void BilliardStd::btnReset_Click(int table) {
    flows().request([table] {
        OpenControllerPort();
        ResetTableCounter(table);
        CloseControllerPort();
    });
    RefreshTables();
}
