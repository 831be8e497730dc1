// BilliardAlt: the alternative-mode window; time played, charge and a Start button per table.
#pragma once

#include "monitor/MonitorWindow.h"

#include <functional>

class BilliardAlt : public MonitorWindow {
public:
    static const MonitorLayout Layout;
    // The background of the lblSum labels, 0xRRGGBB.
    static constexpr uint32_t SumBackground = 0x80FFFF;

    // The blocking wait between starting a table and the refresh that shows it.
    using Pause = std::function<void(int milliseconds)>;
    static constexpr int StartPauseMs = 1300;
    static constexpr int MinuteIntervalMs = 60000;

    // Starts the minute timer.
    BilliardAlt(MonitorView& view, ControllerFlows& flows);

    // True only while a refresh pass is under way.
    bool Refreshing() const { return m_refreshing; }

    // The clock of the peak test; the machine's clock unless set.
    void setClock(const Clock& clock);
    // The pause of a Start click; a sleep of the window's thread that handles no events unless set.
    void setStartPause(Pause pause);

    void RefreshTables() override;
    void DisplayInfoTimerEx_Timer();
    void btnSet_Click(int table);
    MonitorMode mode() const override { return MonitorMode::Alternative; }
    void Button_Click(const std::string& name, int index) override;

protected:
    void refreshPass() override;

private:
    void startTable(int table);
    void showCells(int table, const AlternativeCells& cells);

    const Clock* m_clock;
    Pause m_startPause;
    bool m_refreshing = false;
};
