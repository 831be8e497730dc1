#include "monitor/HallWatch.h"

#include "common/FileStore.h"
#include "monitor/MonitorCaptions.h"

#include <cstdlib>

namespace {

// A counter read in two passes gives a start time a few seconds apart; a table started anew lies
// further off than this.
constexpr int64_t kSameStartSeconds = 60;
// A standard table seen at 0 ran out when its last reading had (about) this little time left by now;
// one with more was stopped before its time.
constexpr int64_t kTimeUpSlackSeconds = 10;

} // namespace

std::string TimeUpText(int table) {
    return MonitorCaptions::Table(table) + ": времето изтече";
}

std::string LongSessionText(int table, int minutes) {
    return MonitorCaptions::Table(table) + ": играе повече от " + std::to_string(minutes) + " мин.";
}

HallWatch::HallWatch(Setup setup, const WallClock& clock, AlertSink alert)
    : m_setup(std::move(setup)), m_clock(clock), m_alert(std::move(alert)), m_ledger(m_setup.ledgerPath),
      m_lastDiscovery(clock.now()) {
    if (m_setup.mode != MonitorMode::Alternative)
        return;
    std::string error;
    m_saved = LoadWatchState(m_setup.statePath, error);
    if (!error.empty()) {
        m_stateFailureReported = true;
        ReportWatchFileFailure("HallWatch.load", error);
    }
    for (const WatchedSession& kept : m_saved.sessions)
        m_sessions[kept.table] = {kept, false};
    if (!m_saved.pending.empty())
        finishPendingLine(m_saved.pending);
}

void HallWatch::finishPendingLine(const std::string& line) {
    // The copy before was killed between keeping the line and the end of its append, or after it.
    const FileStore::ReadResult ledger = FileStore::read(m_setup.ledgerPath);
    if (!ledger.ok || !ledger.bytes.ends_with(line))
        m_ledger.append(line);
    saveState("");
}

bool HallWatch::discoveryDue() {
    const int64_t now = m_clock.now();
    if (now - m_lastDiscovery < RediscoverySeconds)
        return false;
    m_lastDiscovery = now;
    return true;
}

void HallWatch::observe(const PassReadings& readings) {
    const int64_t now = m_clock.now();
    for (int t = 1; t <= TableCount; ++t) {
        if (m_setup.mode == MonitorMode::Standard)
            observeStandard(t, readings[t], now);
        else
            observeAlternative(t, readings[t], now);
    }
    if (m_setup.mode == MonitorMode::Alternative)
        saveState("");
}

void HallWatch::observeStandard(int table, const TableReading& reading, int64_t now) {
    if (reading.reading < 0)
        return;
    StandardTable& last = m_standard[table];
    if (reading.reading == 0 && last.remaining > 0 &&
        last.remaining - (now - last.seen) <= kTimeUpSlackSeconds) {
        writeEvent(record(table, LedgerEvent::TimeUp, now, 0));
        m_alert({TimeUpText(table), true});
    }
    last = {reading.reading, now};
}

void HallWatch::recordReset(int table, int32_t remaining) {
    const int64_t now = m_clock.now();
    StandardTable& last = m_standard[table];
    if (remaining < 0) // no reading: what the last one leaves by now
        remaining = last.remaining > 0
                        ? static_cast<int32_t>(std::max<int64_t>(0, last.remaining - (now - last.seen)))
                        : 0;
    writeEvent(record(table, LedgerEvent::Reset, now, remaining));
    last = {0, now};
}

void HallWatch::observeAlternative(int table, const TableReading& reading, int64_t now) {
    if (!HasElapsedTime(reading.reading))
        return; // no valid reply: nothing is known of the table
    const auto found = m_sessions.find(table);
    if (reading.reading == 0) {
        if (found != m_sessions.end())
            endSession(table, found->second.seenThisRun ? LedgerEvent::End : LedgerEvent::EndUnwatched);
        return;
    }
    const int32_t elapsed = ElapsedSeconds(reading.reading);
    const int64_t start = now - elapsed;
    if (found != m_sessions.end() && std::llabs(found->second.kept.start - start) > kSameStartSeconds)
        endSession(table, found->second.seenThisRun ? LedgerEvent::End : LedgerEvent::EndUnwatched);
    if (m_sessions.count(table) == 0) {
        Session& session = m_sessions[table];
        session.kept.table = table;
        session.kept.start = start;
        LedgerRecord started = record(table, LedgerEvent::Start, start, 0);
        started.peak = peakAt(start);
        started.rate = started.peak ? m_setup.tariff.peak : m_setup.tariff.offPeak;
        started.charge = ChargeText(0, started.rate, ".");
        updateSession(session, reading, elapsed, now);
        writeEvent(started);
    } else {
        updateSession(m_sessions[table], reading, elapsed, now);
    }
}

void HallWatch::updateSession(Session& session, const TableReading& reading, int32_t elapsed, int64_t now) {
    WatchedSession& s = session.kept;
    session.seenThisRun = true;
    s.seconds = elapsed;
    s.lastSeen = now;
    s.peak = reading.peak;
    s.rate = reading.rate;
    s.charge = ChargeText(elapsed, reading.rate, ".");
    const int longMinutes = m_setup.settings.longSessionMinutes;
    if (longMinutes > 0 && !s.longAlerted && elapsed >= longMinutes * 60) {
        s.longAlerted = true;
        m_alert({LongSessionText(s.table, longMinutes), false});
    }
}

void HallWatch::endSession(int table, LedgerEvent event) {
    const WatchedSession s = m_sessions.at(table).kept;
    m_sessions.erase(table);
    LedgerRecord ended = record(table, event, s.lastSeen, s.seconds);
    ended.peak = s.peak;
    ended.rate = s.rate;
    ended.charge = s.charge;
    writeEvent(ended);
}

LedgerRecord HallWatch::record(int table, LedgerEvent event, int64_t at, int32_t seconds) const {
    LedgerRecord r;
    r.time = m_clock.localTime(at);
    r.mode = m_setup.mode;
    r.table = table;
    r.event = event;
    r.seconds = seconds;
    return r;
}

bool HallWatch::peakAt(int64_t instant) const {
    const LocalDateTime local = m_clock.localTime(instant);
    const std::string text = HourMinuteText({local.hour, local.minute}, m_setup.timeSeparator);
    return PeakApplies(text, m_setup.tariff.startTime, m_setup.tariff.endTime);
}

void HallWatch::writeEvent(const LedgerRecord& record) {
    const std::string line = LedgerLine(record);
    // The sessions after the event go into Watch.state with the line before it is appended, so a
    // copy killed in between neither loses the line nor writes it twice.
    if (m_setup.mode == MonitorMode::Alternative)
        saveState(line);
    m_ledger.append(line);
}

void HallWatch::saveState(const std::string& pending) {
    WatchStateData data;
    for (const auto& [table, session] : m_sessions)
        data.sessions.push_back(session.kept);
    data.pending = pending;
    if (data == m_saved)
        return;
    std::string error;
    if (SaveWatchState(m_setup.statePath, data, error)) {
        m_saved = data;
    } else if (!m_stateFailureReported) {
        m_stateFailureReported = true;
        ReportWatchFileFailure("HallWatch.save", error);
    }
}
