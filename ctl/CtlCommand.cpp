#include "ctl/CtlCommand.h"

#include "common/NumberText.h"
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerStatusSink.h"
#include "controller/FPSerial.h"
#include "controller/SerialPortList.h"
#include "ctl/PortProblem.h"

#include <optional>
#include <string>

namespace {

constexpr int kAnswered = 0;
constexpr int kNoAnswer = 1;
constexpr int kBadUsage = 2;
constexpr int32_t kTables = 8;

// The scan's status line is meant for the window; here port and version are printed instead.
class IgnoredStatus : public ControllerStatusSink {
public:
    void setInfoCaption(const std::string&) override {}
};

PortAttempt attemptOn(int16_t port, bool opened, int32_t version) {
    const FPSerial& serial = ControllerSerial();
    return {PortDeviceOf(port),    opened, version, serial.CommErrorCode(), serial.CommErrorSource(),
            serial.CommErrorText()};
}

// "quedrix-ctl: COM3 (/dev/ttyS2): no such device".
void printProblem(std::FILE* err, int16_t port, const PortAttempt& attempt) {
    const std::string device = attempt.device.empty() ? "" : " (" + attempt.device + ")";
    std::fprintf(err, "quedrix-ctl: COM%d%s: %s\n", port, device.c_str(),
                 DescribePortProblem(attempt).c_str());
}

// The scan tells why each port it tried is not the controller's, one line each.
class ExplainedStatus : public IgnoredStatus {
public:
    explicit ExplainedStatus(std::FILE* err) : m_err(err) {}
    void portTried(int16_t port, bool opened, int32_t version) override {
        if (!opened || version < 1)
            printProblem(m_err, port, attemptOn(port, opened, version));
    }

private:
    std::FILE* m_err;
};

struct Command {
    std::string verb;
    int32_t table = 0;
    int32_t value = 0;
};

class Ctl {
public:
    Ctl(std::FILE* out, std::FILE* err) : m_out(out), m_err(err) {}

    int run(const std::vector<std::string>& args) {
        std::optional<int16_t> port;
        std::size_t next = 0;
        if (args.size() >= 2 && args[0] == "--port") {
            const auto n = ParseBoundedNumber(args[1], 1, 20);
            if (!n)
                return usage("--port expects a number from 1 to 20, got '" + args[1] + "'");
            port = static_cast<int16_t>(*n);
            next = 2;
        }
        const auto command = parseCommand({args.begin() + static_cast<std::ptrdiff_t>(next), args.end()});
        if (!command)
            return kBadUsage;
        if (command->verb == "scan" || command->verb == "ports") {
            if (port)
                return usage(command->verb + " looks at every port; it takes no --port");
            return command->verb == "scan" ? scan() : listPorts();
        }
        if (port) {
            ControllerPort = *port;
        } else if (!discover()) {
            return kNoAnswer;
        }
        return runOnPort(*command);
    }

private:
    int usage(const std::string& problem) {
        std::fprintf(m_err, "quedrix-ctl: %s\n%s", problem.c_str(), CtlUsage().c_str());
        return kBadUsage;
    }

    std::optional<Command> parseCommand(const std::vector<std::string>& words) {
        if (words.empty()) {
            usage("no command given");
            return std::nullopt;
        }
        Command command{words[0]};
        const std::size_t operands = words.size() - 1;
        const auto expect = [&](std::size_t wanted) {
            if (operands == wanted)
                return true;
            usage(command.verb + " takes " + std::to_string(wanted) + " operand(s)");
            return false;
        };
        if (command.verb == "scan" || command.verb == "ports" || command.verb == "version" ||
            command.verb == "get-all")
            return expect(0) ? std::optional(command) : std::nullopt;
        if (command.verb == "get" || command.verb == "reset" || command.verb == "set") {
            if (!expect(command.verb == "set" ? 2 : 1))
                return std::nullopt;
            const auto table = ParseBoundedNumber(words[1], 1, kTables);
            if (!table) {
                usage("the table must be a number from 1 to 8, got '" + words[1] + "'");
                return std::nullopt;
            }
            command.table = *table;
            if (command.verb == "set") {
                const auto value = ParseBoundedNumber(words[2], 0, 99999);
                if (!value) {
                    usage("the value must be a number from 0 to 99999, got '" + words[2] + "'");
                    return std::nullopt;
                }
                command.value = *value;
            }
            return command;
        }
        usage("unknown command '" + command.verb + "'");
        return std::nullopt;
    }

    int scan() {
        ExplainedStatus status(m_err);
        const int32_t version = findController(status);
        if (version < 1)
            return kNoAnswer;
        std::fprintf(m_out, "COM%d version %d\n", ControllerPort, version);
        return kAnswered;
    }

    // One line per serial device present: the COM ports that reach it, the device, its by-id name.
    int listPorts() {
        const std::vector<SerialPortEntry> ports = ListSerialPorts();
        if (ports.empty()) {
            std::fprintf(m_err, "quedrix-ctl: no serial device found\n");
            return kNoAnswer;
        }
        std::fprintf(m_out, "%-10s %-16s %s\n", "COM", "DEVICE", "BY-ID");
        for (const SerialPortEntry& port : ports) {
            std::string names;
            for (int number : port.comPorts)
                names += (names.empty() ? "COM" : ",COM") + std::to_string(number);
            std::fprintf(m_out, "%-10s %-16s %s\n", names.empty() ? "-" : names.c_str(), port.device.c_str(),
                         port.stableName.empty() ? "-" : port.stableName.c_str());
        }
        return kAnswered;
    }

    bool discover() {
        IgnoredStatus status;
        return findController(status) >= 1;
    }

    int32_t findController(ControllerStatusSink& status) {
        const int32_t version = FindController(status);
        if (version < 1)
            std::fprintf(m_err, "quedrix-ctl: no controller found on COM1 to COM20\n");
        return version;
    }

    int runOnPort(const Command& command) {
        if (!OpenControllerPort()) {
            const FPSerial& serial = ControllerSerial();
            std::fprintf(m_err, "quedrix-ctl: cannot open COM%d: %s - %s\n", ControllerPort,
                         serial.CommErrorSource().c_str(), serial.CommErrorText().c_str());
            CloseControllerPort();
            return kNoAnswer;
        }
        const int status = runCommand(command);
        CloseControllerPort();
        return status;
    }

    int runCommand(const Command& command) {
        if (command.verb == "get-all") {
            int status = kAnswered;
            for (int32_t table = 1; table <= kTables; ++table) {
                if (report(table, GetTableCounter(table)) != kAnswered)
                    status = kNoAnswer;
            }
            return status;
        }
        if (command.verb == "version")
            return report(0, GetControllerVersion());
        if (command.verb == "get")
            return report(command.table, GetTableCounter(command.table));
        if (command.verb == "reset")
            return report(command.table, ResetTableCounter(command.table));
        return report(command.table, SetTableCounter(command.table, command.value));
    }

    // Prints "value" (table 0) or "table value"; a missing answer is told on err, as a line that
    // went away when it did.
    int report(int32_t table, int32_t value) {
        if (value == -1) {
            const std::string what =
                ControllerSerial().LineGone()
                    ? "the line to COM" + std::to_string(ControllerPort) + " went away (hung up or unplugged)"
                    : "no answer from COM" + std::to_string(ControllerPort);
            const std::string forTable = table == 0 ? "" : " for table " + std::to_string(table);
            std::fprintf(m_err, "quedrix-ctl: %s%s\n", what.c_str(), forTable.c_str());
            return kNoAnswer;
        }
        if (table == 0)
            std::fprintf(m_out, "%d\n", value);
        else
            std::fprintf(m_out, "%d %d\n", table, value);
        return kAnswered;
    }

    std::FILE* m_out;
    std::FILE* m_err;
};

} // namespace

int RunControllerCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return Ctl(out, err).run(args);
}

std::string CtlUsage() {
    return R"(Usage: quedrix-ctl scan | ports
   or: quedrix-ctl [--port N] version | get T | get-all | reset T | set T VALUE
   or: quedrix-ctl config get [--file PATH] SECTION KEY
   or: quedrix-ctl config set [--file PATH] SECTION KEY VALUE
   or: quedrix-ctl config check [--file PATH] [--mode STD|ALT]
   or: quedrix-ctl ledger [--day YYYY-MM-DD] [--file PATH]

Results, config check's findings included, go to standard output; messages, warnings and
the scan's reasons go to standard error.

  scan          look for the controller on COM1 to COM20; prints "COM<port> version <n>",
                and on standard error one line for each port tried that is not the
                controller's, saying why (no such device, no permission, in use, ...)
  ports         the serial devices present: the COM ports that map to each ("-": none),
                the device and its stable name under /dev/serial/by-id ("-": none)
  version       the controller's version
  get T         table T's counter (T from 1 to 8), printed as "T value"
  get-all       every table's counter, one "T value" line each
  reset T       reset table T's counter; prints the counter the controller answered
  set T VALUE   set table T's counter to VALUE (0 to 99999); prints the answer
  --port N      talk to COM<N> (1 to 20) instead of looking for the controller first
  config        read or write one key of Quedrix.cfg (or of the file given by --file);
                a [Ports] entry that is no serial device (yet) is written all the same,
                with a warning on standard error
  config check  list what in Quedrix.cfg keeps the program from working as meant, one line
                each: rates that do not read or are negative, peak times not "HH:MM" or out
                of order, [Watch] values out of range (Enabled other than 0 or 1, Interval
                not 5 to 600 seconds, LongSession not 0 to 1440 minutes), [Ports] entries
                that are no serial device, text not in the ANSI code page without a
                byte-order mark, an unreadable file or folder. The tariff matters only to
                the alternative mode: without --mode its findings are notes that leave the
                exit status alone; --mode ALT counts them as problems, --mode STD leaves
                them out. Exit status 1 when there is any problem (the program itself
                reads the file silently)
  ledger        the sessions that ended on one day (--day, default today) in the ledger
                Ledger.csv of the application folder (or the file given by --file), per
                table, with the totals per table and for the day: sessions, time played,
                charge, in the regional number format. A session is an "end" line of the
                alternative mode (also "end-unwatched": it ended while no copy watched, the
                time being when the next start saw it), with the time played and its charge,
                or a "time-up" line of the standard mode, or a "reset" of a table with time
                left, with the time that was left (no time played or charge of its own);
                each counts on the day of its own line. Lines that are no ledger lines are
                skipped and counted on standard error; a last line without its line end (a
                write cut short) is left out

Ports map to devices as in the program: [Ports] COMn=DEVICE in Quedrix.cfg of the
application folder, else the built-in table. The application folder is $QUEDRIX_HOME, else
the executable's folder when it can be written and is not an installed copy, else
$XDG_DATA_HOME/quedrix (~/.local/share/quedrix).
Exit status: 0 on an answer, 1 when the controller gave none (no answer in time, or the
line went away; ports: no device found; config: write refused or problems found; ledger:
the file cannot be read), 2 for bad usage.
)";
}
