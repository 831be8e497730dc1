// HallWatch: what the watch makes of each refresh pass: the ledger's session events, Watch.state and
// the alerts (a table's time up, a long session).
#pragma once

#include "common/WatchSettings.h"
#include "monitor/Clock.h"
#include "monitor/Ledger.h"
#include "monitor/MonitorMode.h"
#include "monitor/RefreshCycle.h"
#include "monitor/WatchState.h"

#include <array>
#include <functional>
#include <map>
#include <string>

// One table's reading of a pass, with the band and rate the window charged it at (alternative mode).
struct TableReading {
    int32_t reading = -1;
    bool peak = false;
    double rate = 0;
};
using PassReadings = std::array<TableReading, TableCount + 1>; // indexed by table number; 0 unused

struct WatchAlert {
    std::string text;
    bool timeUp = false; // a table's time ran out (the tray shows the alert icon)
};

class HallWatch {
public:
    struct Setup {
        MonitorMode mode = MonitorMode::Standard;
        WatchSettings settings;
        std::string ledgerPath;
        std::string statePath;
        Tariff tariff;             // for the band of a start derived from a counter
        std::string timeSeparator; // the user's, as the peak test compares times
    };
    using AlertSink = std::function<void(const WatchAlert&)>;

    static constexpr int RediscoverySeconds = 60;

    // Reads Watch.state (alternative mode) and appends the line a killed copy left pending.
    HallWatch(Setup setup, const WallClock& clock, AlertSink alert);

    const WatchSettings& settings() const { return m_setup.settings; }

    // The readings of one refresh pass, taken now.
    void observe(const PassReadings& readings);
    // A reset click in the standard mode, with the reading taken just before it (-1: none).
    void recordReset(int table, int32_t remaining);

    // True once a minute while asked: time for another search for the controller.
    bool discoveryDue();

private:
    struct StandardTable {
        int32_t remaining = -1;
        int64_t seen = 0;
    };
    struct Session {
        WatchedSession kept;
        bool seenThisRun = false;
    };

    void observeStandard(int table, const TableReading& reading, int64_t now);
    void observeAlternative(int table, const TableReading& reading, int64_t now);
    void updateSession(Session& session, const TableReading& reading, int32_t elapsed, int64_t now);
    void endSession(int table, LedgerEvent event);
    LedgerRecord record(int table, LedgerEvent event, int64_t at, int32_t seconds) const;
    // Appends the line, kept as pending in Watch.state until it is in the ledger.
    void writeEvent(const LedgerRecord& record);
    void finishPendingLine(const std::string& line);
    void saveState(const std::string& pending);
    bool peakAt(int64_t instant) const;

    Setup m_setup;
    const WallClock& m_clock;
    AlertSink m_alert;
    Ledger m_ledger;
    std::array<StandardTable, TableCount + 1> m_standard{};
    std::map<int, Session> m_sessions;
    WatchStateData m_saved;
    bool m_stateFailureReported = false;
    int64_t m_lastDiscovery;
};

// The alert texts.
std::string TimeUpText(int table);
std::string LongSessionText(int table, int minutes);
