// Ledger.csv: one line per session event of the watch, appended durably; a file that cannot be
// written is reported once to the error log and the program goes on.
#pragma once

#include "monitor/Clock.h"
#include "monitor/MonitorMode.h"

#include <cstdint>
#include <string>

enum class LedgerEvent { Start, End, EndUnwatched, Reset, TimeUp };

struct LedgerRecord {
    LocalDateTime time;
    MonitorMode mode = MonitorMode::Standard;
    int table = 1;
    LedgerEvent event = LedgerEvent::Start;
    int32_t seconds = 0; // elapsed (alternative) or remaining (standard)
    // Alternative mode only:
    bool peak = false;
    double rate = 0;
    std::string charge; // "12.50"
};

// The header line and one record as a CSV line (RFC 4180, CRLF at the end).
extern const char LedgerHeader[];
std::string LedgerLine(const LedgerRecord& record);

// A rate in its shortest decimal form with a point: 0.5, 12, 0.0125.
std::string RateText(double rate);

class Ledger {
public:
    explicit Ledger(std::string path);

    // Appends the line durably. Returns false when it could not be written; the first such failure
    // of the process is recorded in Error.log.
    bool append(const std::string& line);

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    bool m_failureReported = false;
};

// Records a failure of the watch's files in the error register, as a system error.
void ReportWatchFileFailure(const std::string& method, const std::string& error);
