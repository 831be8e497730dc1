#include "monitor/BilliardStd.h"

#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFlows.h"

const MonitorLayout BilliardStd::Layout{
    .innerWidth = 8775,
    .innerHeight = 1665,
    .firstColumnLeft = 90,
    .columnStep = 1080,
    .labelWidth = 1035,
    .labelHeight = 225,
    .tableTop = 120,
    .timeTop = 390,
    .sumTop = 0,
    .tableButtonTop = 660,
    .tableButtonWidth = 1035,
    .tableButtonHeight = 435,
    .tableFontPoints = 8.25,
    .lineY = 1140,
    .lineRight = 8700,
    .info = {120, 1320, 5805, 255},
    .infoButton = {5970, 1230, 1335, 375},
    .hideButton = {7350, 1230, 1335, 375},
    .flash = {{5190, 1260}, {5580, 1260}, {4800, 1260}},
};

BilliardStd::BilliardStd(MonitorView& view, ControllerFlows& flows) : MonitorWindow(view, flows) {}

void BilliardStd::RefreshTables() {
    flows().request([this] { refreshPass(); }, ControllerFlows::Kind::Refresh);
}

void BilliardStd::refreshPass() {
    if (ControllerPort == 0)
        return;
    OpenControllerPort();
    PassReadings readings;
    for (int t = 1; t <= TableCount; ++t) {
        readings[t].reading = GetTableCounter(t);
        showTime(t, StandardTimeCell(readings[t].reading));
    }
    CloseControllerPort();
    watchPass(readings);
}

void BilliardStd::Form_Activate() {
    RefreshTables();
    MonitorWindow::Form_Activate();
}

void BilliardStd::Button_Click(const std::string& name, int index) {
    if (name == "btnReset")
        btnReset_Click(index);
    else
        MonitorWindow::Button_Click(name, index);
}

void BilliardStd::btnReset_Click(int table) {
    flows().request([this, table] {
        OpenControllerPort();
        // The watch records the time the reset stopped, so it reads the counter first.
        const int32_t remaining = hallWatch() != nullptr ? GetTableCounter(table) : -1;
        ResetTableCounter(table);
        CloseControllerPort();
        if (hallWatch() != nullptr)
            hallWatch()->recordReset(table, remaining);
    });
    RefreshTables();
}
