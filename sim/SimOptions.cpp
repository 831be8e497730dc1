#include "sim/SimOptions.h"

#include "common/NumberText.h"

#include <functional>
#include <map>

namespace {

bool parseCounters(const std::string& text, std::array<int32_t, SimOptions::Tables>& counters) {
    counters.fill(0);
    std::size_t table = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        if (table == counters.size())
            return false;
        const auto value = ParseBoundedNumber(text.substr(start, comma - start), 0, 99999);
        if (!value)
            return false;
        counters[table++] = *value;
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

struct Flag {
    bool takesValue;
    // Applies the flag; returns an error text or "".
    std::function<std::string(SimOptions&, const std::string&)> apply;
};

Flag number(int32_t SimOptions::*member, int32_t low, int32_t high) {
    return {true, [member, low, high](SimOptions& o, const std::string& v) -> std::string {
                const auto n = ParseBoundedNumber(v, low, high);
                if (!n)
                    return "expects a whole number from " + std::to_string(low) + " to " +
                           std::to_string(high);
                o.*member = *n;
                return "";
            }};
}

Flag text(std::string SimOptions::*member, const char* problem) {
    return {true, [member, problem](SimOptions& o, const std::string& v) -> std::string {
                if (v.empty())
                    return problem;
                o.*member = v;
                return "";
            }};
}

Flag toggle(bool SimOptions::*member) {
    return {false, [member](SimOptions& o, const std::string&) -> std::string {
                o.*member = true;
                return "";
            }};
}

const std::map<std::string, Flag>& flags() {
    static const std::map<std::string, Flag> table = {
        {"--link", text(&SimOptions::link, "expects a path")},
        {"--log", text(&SimOptions::logPath, "expects a file name")},
        {"--counters",
         {true,
          [](SimOptions& o, const std::string& v) -> std::string {
              if (!parseCounters(v, o.counters))
                  return "expects up to 8 comma-separated numbers from 0 to 99999";
              return "";
          }}},
        {"--silent-table",
         {true,
          [](SimOptions& o, const std::string& v) -> std::string {
              const auto n = ParseBoundedNumber(v, 0, 99);
              if (!n)
                  return "expects a table number from 0 to 99";
              o.silentTables.insert(*n);
              return "";
          }}},
        {"--version", number(&SimOptions::version, 0, 99999)},
        {"--tick-ms", number(&SimOptions::tickMs, 0, 3600000)},
        {"--baud", number(&SimOptions::baud, 0, 4000000)},
        {"--noise", number(&SimOptions::noise, 0, 100000)},
        {"--reply-delay", number(&SimOptions::replyDelayMs, 0, 60000)},
        {"--ignore-first", number(&SimOptions::ignoreFirst, 0, 1000000)},
        {"--silent", toggle(&SimOptions::silent)},
        {"--short", toggle(&SimOptions::shortReply)},
        {"--bad-value", toggle(&SimOptions::badValue)},
        {"--split", toggle(&SimOptions::split)},
    };
    return table;
}

} // namespace

SimCommandLine ParseSimOptions(const std::vector<std::string>& args) {
    SimCommandLine result;
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            result.help = true;
            return result;
        }
        const auto found = flags().find(word);
        if (found == flags().end()) {
            result.error = "unknown argument '" + word + "'";
            return result;
        }
        const Flag& flag = found->second;
        std::string value;
        if (flag.takesValue) {
            if (i + 1 == args.size()) {
                result.error = word + " needs a value";
                return result;
            }
            value = args[++i];
        }
        if (std::string problem = flag.apply(options, value); !problem.empty()) {
            result.error = word + " " + problem + ", got '" + value + "'";
            return result;
        }
    }
    result.options = options;
    return result;
}

std::string SimUsage() {
    return R"(Usage: quedrix-sim [OPTION]...
Simulates the billiard table controller on a pseudo-terminal. Prints the slave
device name on one line when ready; runs until interrupted (SIGINT or SIGTERM).

It answers the 12-character frames "V" (version), "R" (reset a table's counter
to 0), "C" (set a table's counter) and "G" (read a table's counter) with a
12-character reply carrying the value at offset 5. Tables 1 to 8 have counters
that go down by one every tick until 0; other table numbers answer 0.

  --link PATH          publish the slave device as the symlink PATH (replaced if
                       present, removed on exit)
  --version N          version answered to "V" (default 1)
  --counters A,B,...   initial counters of tables 1 to 8 (default all 0;
                       missing ones are 0)
  --tick-ms MS         length of one counter tick (default 1000; 0 = never count)
  --baud N             line timing: each byte takes 10 bits at N baud and goes
                       out on its own, as from a UART (default 115200; about
                       87 microseconds a byte); 0 sends each reply at once
  --log FILE           append one line per received frame: the monotonic clock
                       in seconds, then the frame with <STX> and <ETX> spelled out
                       (frames that are not well-formed are marked "invalid")

Fault injection:
  --silent             answer nothing
  --silent-table N     answer nothing for table N (may be repeated)
  --noise N            send N stray bytes (0 to 100000) before each reply's STX
  --short              drop the last byte of each reply
  --bad-value          send "00abc" as each reply's value field
  --reply-delay MS     wait MS milliseconds before each reply
  --split              send each reply in pieces of 4 bytes, 15 ms apart
  --ignore-first N     leave the first N frames unanswered

  --help               show this text

Exit status: 0 after an interrupt, 1 when the pseudo-terminal or link cannot be
set up, 2 for a malformed command line.
)";
}
