#include "Win32BilliardAlt.h"

#include "MonitorCaptions.h"

Win32BilliardAlt::Win32BilliardAlt(ControllerFlows& flows)
    : Win32MonitorWindow("BilliardAlt", BilliardAlt::Layout) {
    const MonitorLayout& grid = layout();
    for (int t = 1; t <= TableCount; ++t) {
        addLabel("lblSum", t, MonitorCaptions::Sum,
                 ColumnRect(grid, t, grid.sumTop, grid.labelWidth, grid.labelHeight), grid.tableFontPoints);
        setBackground("lblSum", t, BilliardAlt::SumBackground);
    }
    onTimer(Timer::DisplayInfoTimerEx, [this] { form().DisplayInfoTimerEx_Timer(); });
    // The behaviour starts the minute timer as it is made.
    adopt(std::make_unique<BilliardAlt>(*this, flows));
    for (int t = 1; t <= TableCount; ++t)
        addButton("btnSet", t, MonitorCaptions::StartButton,
                  ColumnRect(grid, t, grid.tableButtonTop, grid.tableButtonWidth, grid.tableButtonHeight),
                  [this, t] { form().btnSet_Click(t); });
}
