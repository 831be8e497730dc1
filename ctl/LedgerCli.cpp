#include "ctl/LedgerCli.h"

#include "common/AppFolder.h"
#include "common/FileStore.h"
#include "common/NumberText.h"
#include "common/RegionalSettings.h"
#include "ctl/LedgerDay.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <ostream>

namespace {

constexpr int kReported = 0;
constexpr int kUnreadable = 1;
constexpr int kBadUsage = 2;

int usage(std::ostream& err, const std::string& problem) {
    err << "quedrix-ctl: " << problem << "\nusage: quedrix-ctl ledger [--day YYYY-MM-DD] [--file PATH]\n";
    return kBadUsage;
}

// "YYYY-MM-DD" naming a day of the calendar.
bool isCalendarDay(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    const auto year = ParseBoundedNumber(text.substr(0, 4), 0, 9999);
    const auto month = ParseBoundedNumber(text.substr(5, 2), 1, 12);
    const auto day = ParseBoundedNumber(text.substr(8, 2), 1, 31);
    return year && month && day &&
           std::chrono::year_month_day(std::chrono::year(*year),
                                       std::chrono::month(static_cast<unsigned>(*month)),
                                       std::chrono::day(static_cast<unsigned>(*day)))
               .ok();
}

std::string today() {
    const std::time_t now = std::time(nullptr);
    char text[16] = "";
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return text;
}

// "01:03:30"; hours beyond 99 take more digits.
std::string durationText(long long seconds) {
    const long long whole = seconds < 0 ? -seconds : seconds;
    char text[32];
    std::snprintf(text, sizeof text, "%s%02lld:%02lld:%02lld", seconds < 0 ? "-" : "", whole / 3600,
                  whole / 60 % 60, whole % 60);
    return text;
}

class Report {
public:
    Report(std::ostream& out, std::string separator) : m_out(out), m_separator(std::move(separator)) {}

    void print(const std::string& day, const std::string& file, const LedgerDay& ledger) {
        m_out << day << " in " << file << '\n';
        for (std::size_t t = 0; t < ledger.tables.size(); ++t) {
            const LedgerTableDay& table = ledger.tables[t];
            if (table.sessions.empty())
                continue;
            m_out << "Table " << t + 1 << '\n';
            for (const LedgerSession& session : table.sessions)
                printSession(session);
            m_out << "  " << totals(table.sessions.size(), table.playedSeconds, table.cents) << '\n';
        }
        m_out << "Day: " << totals(ledger.sessions, ledger.playedSeconds, ledger.cents) << '\n';
    }

private:
    void printSession(const LedgerSession& session) {
        char event[16];
        std::snprintf(event, sizeof event, "%-13s", session.event.c_str());
        m_out << "  " << session.clock << "  " << event << "  " << durationText(session.seconds);
        if (!session.alternative) {
            m_out << " left\n";
            return;
        }
        char band[16];
        std::snprintf(band, sizeof band, "%-8s", session.band.c_str());
        m_out << "  " << band << ' ' << number(session.rate) << "  " << money(session.cents) << '\n';
    }

    std::string totals(std::size_t sessions, long long seconds, long long cents) const {
        return "sessions " + std::to_string(sessions) + ", time " + durationText(seconds) + ", charge " +
               money(cents);
    }

    // A number written with a dot, in the user's format.
    std::string number(const std::string& dotted) const {
        const std::size_t dot = dotted.find('.');
        return dot == std::string::npos ? dotted
                                        : dotted.substr(0, dot) + m_separator + dotted.substr(dot + 1);
    }

    std::string money(long long cents) const {
        const long long whole = cents < 0 ? -cents : cents;
        char text[40];
        std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "", whole / 100, whole % 100);
        return number(text);
    }

    std::ostream& m_out;
    std::string m_separator;
};

} // namespace

int RunLedgerCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string day = today();
    std::string file = AppFilePath("Ledger.csv");
    for (std::size_t i = 0; i < args.size(); i += 2) {
        if (args[i] != "--day" && args[i] != "--file")
            return usage(err, "ledger: unknown word '" + args[i] + "'");
        if (i + 1 == args.size() || args[i + 1].empty())
            return usage(err, "ledger: " + args[i] + " needs a value");
        if (args[i] == "--day" && !isCalendarDay(args[i + 1]))
            return usage(err, "ledger: --day expects a date YYYY-MM-DD, got '" + args[i + 1] + "'");
        (args[i] == "--day" ? day : file) = args[i + 1];
    }
    const FileStore::ReadResult text = FileStore::read(file);
    if (!text.exists) {
        err << "quedrix-ctl: ledger: " << file
            << " does not exist (the program keeps it when [Watch] Enabled=1 in Quedrix.cfg)\n";
        return kUnreadable;
    }
    if (!text.ok) {
        err << "quedrix-ctl: ledger: " << text.error << '\n';
        return kUnreadable;
    }
    const LedgerDay ledger = SummariseLedgerDay(text.bytes, day);
    if (ledger.malformedLines > 0)
        err << "quedrix-ctl: ledger: " << file << ": " << ledger.malformedLines
            << " line(s) that are no ledger lines skipped, the first is line " << ledger.firstMalformedLine
            << '\n';
    Report(out, UserDecimalSeparator()).print(day, file, ledger);
    return kReported;
}
