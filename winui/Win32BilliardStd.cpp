#include "Win32BilliardStd.h"

#include "MonitorCaptions.h"

Win32BilliardStd::Win32BilliardStd(ControllerFlows& flows)
    : Win32MonitorWindow("BilliardStd", BilliardStd::Layout) {
    adopt(std::make_unique<BilliardStd>(*this, flows));
    const MonitorLayout& grid = layout();
    for (int t = 1; t <= TableCount; ++t)
        addButton("btnReset", t, MonitorCaptions::ResetButton,
                  ColumnRect(grid, t, grid.tableButtonTop, grid.tableButtonWidth, grid.tableButtonHeight),
                  [this, t] { form().btnReset_Click(t); });
}
