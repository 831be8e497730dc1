#include "ctl/LedgerDay.h"

#include "common/NumberText.h"

#include <optional>

namespace {

constexpr int32_t kCounterLimit = 99999; // the controller's counters have five digits
constexpr std::size_t kCentDigits = 15;  // as many as a charge the window can show

// The complete records of CSV text (RFC 4180), one at a time. A line end always ends a record: no
// ledger field holds one, and a quote left open must not swallow the lines after it.
class CsvRecords {
public:
    explicit CsvRecords(std::string_view bytes) : m_bytes(bytes) {}

    struct Record {
        std::vector<std::string> fields;
        bool wellQuoted = true;
        std::size_t line = 0; // 1 for the first line
    };

    // False when no complete record is left: a last one without its line end is not one.
    bool next(Record& record) {
        const std::size_t end = m_bytes.find('\n', m_pos);
        if (end == std::string_view::npos)
            return false;
        std::string_view text = m_bytes.substr(m_pos, end - m_pos);
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        m_pos = end + 1;
        record = Record{{}, true, ++m_lines};
        split(text, record);
        return true;
    }

private:
    static void split(std::string_view text, Record& record) {
        std::string field;
        bool inQuotes = false;
        bool fieldQuoted = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (inQuotes) {
                if (c != '"')
                    field += c;
                else if (i + 1 < text.size() && text[i + 1] == '"')
                    field += text[++i];
                else
                    inQuotes = false;
            } else if (c == '"' && field.empty() && !fieldQuoted) {
                inQuotes = fieldQuoted = true;
            } else if (c == ',') {
                record.fields.push_back(std::move(field));
                field.clear();
                fieldQuoted = false;
            } else {
                // Text after a closing quote, or a quote inside an unquoted field.
                record.wellQuoted = record.wellQuoted && !fieldQuoted && c != '"';
                field += c;
            }
        }
        record.wellQuoted = record.wellQuoted && !inQuotes;
        record.fields.push_back(std::move(field));
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::size_t m_lines = 0;
};

struct LedgerLine {
    std::string day;
    LedgerSession session;
    int32_t table = 0;
};

bool digitsAt(const std::string& text, std::size_t from, std::size_t count) {
    for (std::size_t i = from; i < from + count; ++i)
        if (i >= text.size() || text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// "2026-12-08T21:05:40+02:00" (or "...Z"): a local time with its offset from UTC.
bool isTimestamp(const std::string& text) {
    const bool dateAndTime = digitsAt(text, 0, 4) && text[4] == '-' && digitsAt(text, 5, 2) &&
                             text[7] == '-' && digitsAt(text, 8, 2) && text[10] == 'T' &&
                             digitsAt(text, 11, 2) && text[13] == ':' && digitsAt(text, 14, 2) &&
                             text[16] == ':' && digitsAt(text, 17, 2);
    if (!dateAndTime)
        return false;
    if (text.size() == 20)
        return text[19] == 'Z';
    return text.size() == 25 && (text[19] == '+' || text[19] == '-') && digitsAt(text, 20, 2) &&
           text[22] == ':' && digitsAt(text, 23, 2);
}

// Digits, at least one, with a dot and digits after it when decimals is not 0 (exactly that many
// when exact), optionally signed.
bool isDecimal(const std::string& text, std::size_t decimals, bool exact) {
    const std::size_t from = text.starts_with('-') ? 1 : 0;
    const std::size_t dot = text.find('.');
    const std::size_t whole = (dot == std::string::npos ? text.size() : dot) - from;
    if (whole == 0 || !digitsAt(text, from, whole))
        return false;
    if (dot == std::string::npos)
        return !exact;
    const std::size_t fraction = text.size() - dot - 1;
    return fraction > 0 && digitsAt(text, dot + 1, fraction) && (!exact || fraction == decimals);
}

// "12.34" as 1234; nothing for any other form.
std::optional<long long> centsOf(const std::string& text) {
    if (!isDecimal(text, 2, true) || text.size() > kCentDigits + 2)
        return std::nullopt;
    std::string digits = text;
    digits.erase(digits.size() - 3, 1);
    return std::stoll(digits);
}

bool fitsTheMode(const LedgerSession& s) {
    if (!s.alternative)
        return (s.event == "reset" || s.event == "time-up") && s.band.empty() && s.rate.empty();
    return (s.event == "start" || s.event == "end" || s.event == "end-unwatched") &&
           (s.band == "peak" || s.band == "off-peak") && isDecimal(s.rate, 1, false);
}

std::optional<LedgerLine> ledgerLine(const CsvRecords::Record& record) {
    const std::vector<std::string>& f = record.fields;
    if (!record.wellQuoted || f.size() != 8 || !isTimestamp(f[0]) ||
        (f[1] != "standard" && f[1] != "alternative"))
        return std::nullopt;
    const auto table = ParseBoundedNumber(f[2], 1, 8);
    const auto seconds = ParseBoundedNumber(f[4], -kCounterLimit, kCounterLimit);
    if (!table || !seconds)
        return std::nullopt;
    LedgerLine line{f[0].substr(0, 10),
                    {f[0].substr(11, 8), f[1] == "alternative", f[3], *seconds, f[5], f[6], 0},
                    *table};
    if (!fitsTheMode(line.session))
        return std::nullopt;
    if (line.session.alternative) {
        const auto cents = centsOf(f[7]);
        if (!cents)
            return std::nullopt;
        line.session.cents = *cents;
    } else if (!f[7].empty()) {
        return std::nullopt;
    }
    return line;
}

bool isHeader(const std::vector<std::string>& fields) {
    std::string joined;
    for (const std::string& field : fields)
        joined += (joined.empty() ? "" : ",") + field;
    return joined == LedgerColumns;
}

// A start begins a session; a reset of a table with no time left stops one that had ended already
// (its time-up is the session) or never ran.
bool endsASession(const LedgerSession& session) {
    return session.event != "start" && (session.event != "reset" || session.seconds > 0);
}

} // namespace

LedgerDay SummariseLedgerDay(std::string_view bytes, std::string_view day) {
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    LedgerDay result;
    CsvRecords records(bytes);
    for (CsvRecords::Record record; records.next(record);) {
        if (isHeader(record.fields) || (record.fields.size() == 1 && record.fields[0].empty()))
            continue;
        const std::optional<LedgerLine> line = ledgerLine(record);
        if (!line) {
            if (result.malformedLines++ == 0)
                result.firstMalformedLine = record.line;
            continue;
        }
        if (line->day != day || !endsASession(line->session))
            continue;
        LedgerTableDay& table = result.tables[static_cast<std::size_t>(line->table - 1)];
        if (line->session.alternative) {
            table.playedSeconds += line->session.seconds;
            table.cents += line->session.cents;
            result.playedSeconds += line->session.seconds;
            result.cents += line->session.cents;
        }
        table.sessions.push_back(line->session);
        ++result.sessions;
    }
    return result;
}
