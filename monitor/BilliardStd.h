// BilliardStd: the standard-mode window; each table's counter as a coloured time and a reset button.
#pragma once

#include "monitor/MonitorWindow.h"

class BilliardStd : public MonitorWindow {
public:
    static const MonitorLayout Layout;

    BilliardStd(MonitorView& view, ControllerFlows& flows);

    void RefreshTables() override;
    void Form_Activate() override;
    void btnReset_Click(int table);
    MonitorMode mode() const override { return MonitorMode::Standard; }
    void Button_Click(const std::string& name, int index) override;

protected:
    void refreshPass() override;
};
