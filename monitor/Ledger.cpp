#include "monitor/Ledger.h"

#include "common/DurableAppend.h"
#include "errlog/ErrorController.h"

#include <charconv>

const char LedgerHeader[] = "time,mode,table,event,seconds,band,rate,charge\r\n";

namespace {

const char* eventName(LedgerEvent event) {
    switch (event) {
    case LedgerEvent::Start:
        return "start";
    case LedgerEvent::End:
        return "end";
    case LedgerEvent::EndUnwatched:
        return "end-unwatched";
    case LedgerEvent::Reset:
        return "reset";
    case LedgerEvent::TimeUp:
        return "time-up";
    }
    return "";
}

} // namespace

std::string RateText(double rate) {
    char text[400];
    const auto end = std::to_chars(text, text + sizeof text, rate, std::chars_format::fixed).ptr;
    return std::string(text, end);
}

std::string LedgerLine(const LedgerRecord& r) {
    // No field can hold a comma, quote or line break, so none needs quoting.
    const bool alternative = r.mode == MonitorMode::Alternative;
    std::string line = IsoDateTimeText(r.time);
    line += alternative ? ",alternative," : ",standard,";
    line += std::to_string(r.table) + "," + eventName(r.event) + "," + std::to_string(r.seconds) + ",";
    if (alternative)
        line += std::string(r.peak ? "peak" : "off-peak") + "," + RateText(r.rate) + "," + r.charge;
    else
        line += ",,";
    return line + "\r\n";
}

Ledger::Ledger(std::string path) : m_path(std::move(path)) {}

bool Ledger::append(const std::string& line) {
    const AppendResult result = AppendLineDurably(m_path, line, LedgerHeader);
    if (!result.ok && !m_failureReported) {
        m_failureReported = true;
        ReportWatchFileFailure("Ledger.append", result.error);
    }
    return result.ok;
}

void ReportWatchFileFailure(const std::string& method, const std::string& error) {
    std::string when;
    ErrorController::shared().Add(1, 0, error, method, when);
}
