// BilliardAlt: the alternative-mode window; time played, charge and a Start button per table.
#pragma once

#include "MonitorWindow.h"

#include <functional>

class BilliardAlt : public MonitorWindow {
    Q_OBJECT
public:
    // The blocking wait between starting a table and the refresh that shows it.
    using Pause = std::function<void(int milliseconds)>;
    static constexpr int StartPauseMs = 1300;
    static constexpr int MinuteIntervalMs = 60000;

    explicit BilliardAlt(ControllerFlows& flows, QWidget* parent = nullptr);

    QLabel* lblSum(int table) const { return m_lblSum.at(table); }
    MyButton* btnSet(int table) const { return m_btnSet.at(table); }
    QTimer* DisplayInfoTimerEx() const { return m_displayInfoTimerEx; }
    // True only while a refresh pass is under way.
    bool Refreshing() const { return m_refreshing; }

    // The clock of the peak test; the machine's clock unless set.
    void setClock(const Clock& clock);
    // The pause of a Start click; a sleep of the GUI thread that handles no events unless set.
    void setStartPause(Pause pause);

    void RefreshTables() override;
    void DisplayInfoTimerEx_Timer();
    void btnSet_Click(int table);

private:
    void refreshPass();
    void startTable(int table);
    void showCells(int table, const AlternativeCells& cells);

    const Clock* m_clock;
    Pause m_startPause;
    bool m_refreshing = false;
    std::array<QLabel*, TableCount + 1> m_lblSum{}; // indexed by table number; 0 unused
    std::array<MyButton*, TableCount + 1> m_btnSet{};
    QTimer* m_displayInfoTimerEx = nullptr;
};
