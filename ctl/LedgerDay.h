// One day of the hall's ledger (Ledger.csv): its sessions per table and their totals.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The header line, without its line end.
inline constexpr char LedgerColumns[] = "time,mode,table,event,seconds,band,rate,charge";

// A line that ends a session: in the alternative mode "end" or "end-unwatched" (its seconds the time
// played, with its band, rate and charge), in the standard mode "time-up" or a "reset" with time left
// (its seconds the time that was left; no band, rate or charge).
struct LedgerSession {
    std::string clock; // the line's local time of day, "HH:MM:SS"
    bool alternative = false;
    std::string event;
    int32_t seconds = 0;
    std::string band;    // "peak" or "off-peak"; empty in the standard mode
    std::string rate;    // as written, with a dot; empty in the standard mode
    long long cents = 0; // the charge; 0 in the standard mode
};

struct LedgerTableDay {
    std::vector<LedgerSession> sessions;
    long long playedSeconds = 0; // the alternative sessions' time played
    long long cents = 0;
};

struct LedgerDay {
    std::array<LedgerTableDay, 8> tables; // table 1 at index 0
    std::size_t sessions = 0;
    long long playedSeconds = 0;
    long long cents = 0;
    std::size_t malformedLines = 0;
    std::size_t firstMalformedLine = 0; // line number in the file, 1 for the first; 0 when none
};

// The sessions that ended on the day ("YYYY-MM-DD", the local date each line was written with) in
// the ledger's bytes: CSV (RFC 4180, quoted fields allowed, none spanning lines), CRLF or LF line
// ends, the header line anywhere, a leading byte-order mark allowed. A last line without its line
// end was torn by a kill or a power cut and is left out; other lines that are not ledger lines are
// counted, not used.
LedgerDay SummariseLedgerDay(std::string_view bytes, std::string_view day);
