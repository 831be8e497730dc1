// BilliardStd: the standard-mode window; each table's counter as a coloured time and a reset button.
#pragma once

#include "MonitorWindow.h"

class BilliardStd : public MonitorWindow {
    Q_OBJECT
public:
    explicit BilliardStd(ControllerFlows& flows, QWidget* parent = nullptr);

    MyButton* btnReset(int table) const { return m_btnReset.at(table); }

    void RefreshTables() override;
    void Form_Activate() override;
    void btnReset_Click(int table);

private:
    void refreshPass();

    std::array<MyButton*, TableCount + 1> m_btnReset{}; // indexed by table number; 0 unused
};
