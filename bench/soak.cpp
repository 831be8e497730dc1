// bench/soak: thousands of controller flows (refreshes, resets, starts, some asked for from inside a
// running flow) through ControllerFlows against the simulator, while line faults come and go and the
// simulator is killed and started again on the same link. Prints what it saw; exits 1 when a flow
// took longer than the protocol allows, a frame was interleaved, a reading was wrong, a restart was
// not read, or descriptors leaked.
// Usage: soak [--flows N] [--restarts N] [--seed N]
#include "common/NumberText.h"
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFlows.h"
#include "controller/FPSerial.h"
#include "sim/SimulatorCore.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int kTables = 8;
// Three tries of a 1.1 s reply window each, with the polls' own time on top: the most one command
// may take (the protocol tests hold a silent controller to 3.0 to 4.5 s).
constexpr double kCommandBoundSeconds = 4.5;
const std::array<int32_t, kTables> kCounters{0, 500, 0, 1200, 31000, 0, 2000, 0};

double now() {
    return Seconds(Clock::now().time_since_epoch()).count();
}

// The simulator in a process of its own, so that it can be killed as a switched-off controller is.
// Its faults change through a pipe: one line of quedrix-sim options at a time.
class SimulatorProcess {
public:
    SimulatorProcess(const std::string& link, const std::string& log) {
        int control[2], ready[2];
        if (::pipe(control) != 0 || ::pipe(ready) != 0)
            throw std::runtime_error("pipe failed");
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only the two pipes go along: no port, lock or pipe of the soak's may live on in here.
            ::dup2(control[0], 3);
            ::dup2(ready[1], 4);
            ::close_range(5, ~0U, 0);
            serve(link, log, 3, 4);
        }
        ::close(control[0]);
        ::close(ready[1]);
        m_control = control[1];
        char byte = 0;
        const bool up = ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
        if (!up)
            throw std::runtime_error("the simulator did not start");
    }
    ~SimulatorProcess() {
        ::close(m_control);
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    void setFaults(const std::string& options) {
        const std::string line = options + "\n";
        [[maybe_unused]] const ssize_t written = ::write(m_control, line.data(), line.size());
    }

private:
    [[noreturn]] static void serve(const std::string& link, const std::string& log, int control, int ready) {
        SimOptions options;
        options.link = link;
        options.tickMs = 0;
        options.counters = kCounters;
        options.version = 7;
        options.logPath = log;
        SimulatorCore core(options);
        core.start();
        [[maybe_unused]] const ssize_t told = ::write(ready, "1", 1);
        std::string pending;
        char buffer[256];
        for (ssize_t n; (n = ::read(control, buffer, sizeof buffer)) > 0;) {
            pending.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t end; (end = pending.find('\n')) != std::string::npos;
                 pending.erase(0, end + 1)) {
                std::istringstream words(pending.substr(0, end));
                std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
                if (const auto parsed = ParseSimOptions(args); parsed.options)
                    core.setFaults(*parsed.options);
            }
        }
        core.stop();
        ::_exit(0);
    }

    pid_t m_pid = -1;
    int m_control = -1;
};

enum class Kind { Refresh, Reset, Start };
const char* const kKindNames[] = {"refresh", "reset", "start"};

struct FlowRecord {
    Kind kind;
    int table;
    double start = 0, end = 0;
    int commands = 0;
    bool hitFault = false;     // a command got no answer
    bool underFault = false;   // a fault was switched on while it ran
    bool afterRestart = false; // the first flow to start after a restart
    bool nested = false;       // asked for from inside a running flow
};

struct Frame {
    double at;
    char command;
    int table;
    bool wellFormed;
};

// "<seconds> <STX>G03;00000;<ETX>[ invalid]", one line per frame the simulator received.
std::vector<Frame> readFrameLog(const std::string& path) {
    std::vector<Frame> frames;
    std::ifstream log(path);
    std::string line;
    while (std::getline(log, line)) {
        std::istringstream fields(line);
        Frame frame{};
        std::string text;
        fields >> frame.at >> text;
        frame.wellFormed = line.find(" invalid") == std::string::npos;
        const std::string stx = "<STX>";
        if (frame.wellFormed && text.starts_with(stx) && text.size() >= stx.size() + 3) {
            frame.command = text[stx.size()];
            frame.table = std::atoi(text.substr(stx.size() + 1, 2).c_str());
        }
        frames.push_back(frame);
    }
    return frames;
}

bool belongsTo(const Frame& frame, const FlowRecord& flow) {
    switch (flow.kind) {
    case Kind::Refresh:
        return frame.command == 'G';
    case Kind::Reset:
        return frame.command == 'R' && frame.table == flow.table;
    case Kind::Start:
        return frame.command == 'G' || (frame.command == 'C' && frame.table == flow.table);
    }
    return false;
}

int openDescriptors() {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

long residentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmRSS:"))
            return std::atol(line.c_str() + 6);
    return 0;
}

struct Settings {
    int flows = 10000;
    int restarts = 6;
    unsigned seed = 1;
};

std::optional<Settings> parseSettings(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        const auto value = ParseBoundedNumber(argv[i + 1], 0, 10000000);
        if (!value)
            return std::nullopt;
        if (flag == "--flows")
            settings.flows = *value;
        else if (flag == "--restarts")
            settings.restarts = *value;
        else if (flag == "--seed")
            settings.seed = static_cast<unsigned>(*value);
        else
            return std::nullopt;
    }
    if (argc % 2 == 0)
        return std::nullopt;
    return settings;
}

class Soak {
public:
    Soak(const Settings& settings, const std::string& folder)
        : m_settings(settings), m_random(settings.seed), m_link(folder + "/COM1"),
          m_log(folder + "/frames.log") {
        for (int i = 1; i <= settings.restarts; ++i)
            m_restartAt.push_back(settings.flows * i / (settings.restarts + 1));
        resetModel();
        m_simulator = std::make_unique<SimulatorProcess>(m_link, m_log);
        ControllerPort = 1;
        ControllerSerial().setPumpEvents([this] { pump(); });
    }
    ~Soak() { ControllerSerial().setPumpEvents({}); }

    int run() {
        const int fdsAtStart = openDescriptors();
        const long rssAtStart = residentKib();
        const double started = now();
        // Refreshes asked for while another waits are folded into it, so count the flows that ran.
        while (m_run < static_cast<std::size_t>(m_settings.flows))
            requestRandomFlow(false);
        const int fdsAtEnd = openDescriptors();
        const long rssAtEnd = residentKib();
        const double took = now() - started;
        m_simulator.reset();
        return report(took, fdsAtStart, fdsAtEnd, rssAtStart, rssAtEnd);
    }

private:
    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool chance(double p) { return std::bernoulli_distribution(p)(m_random); }

    void resetModel() {
        for (int t = 0; t < kTables; ++t)
            m_possible[t] = {kCounters[t]};
    }

    void requestRandomFlow(bool nested) {
        const int pick = uniform(0, 3);
        const Kind kind = pick < 2 ? Kind::Refresh : pick == 2 ? Kind::Reset : Kind::Start;
        const int table = uniform(1, kTables);
        m_flows.request([this, kind, table, nested] { runFlow(kind, table, nested); },
                        kind == Kind::Refresh ? ControllerFlows::Kind::Refresh
                                              : ControllerFlows::Kind::Command);
    }

    // Window events while a flow waits on the line: new flows are asked for, faults come and go, and
    // now and then the controller is switched off and on again.
    void pump() {
        if (m_run + m_flows.pending() < static_cast<std::size_t>(m_settings.flows) && chance(0.0003))
            requestRandomFlow(true);
        if (m_current && m_nextRestart < m_restartAt.size() && m_run >= m_restartAt[m_nextRestart] &&
            m_restart == RestartState::None) {
            ++m_nextRestart;
            restart();
        }
        switchFaults();
    }

    void restart() {
        m_simulator.reset(); // killed: the line hangs up under the flow that is running
        m_simulator = std::make_unique<SimulatorProcess>(m_link, m_log);
        resetModel();
        m_faultsOn = false;
        m_restart = RestartState::Pending;
        ++m_restarts;
    }

    void switchFaults() {
        const double t = now();
        // The restarted controller starts without faults; they stay off until its first flow is over.
        if (t < m_nextSwitch || m_restart != RestartState::None)
            return;
        if (m_faultsOn) {
            m_simulator->setFaults("");
            m_faultOptions = "";
            m_faultsOn = false;
            m_nextSwitch = t + uniform(300, 2500) / 1000.0;
            return;
        }
        // Each fault for a while; the ones that cost every command its three tries only briefly.
        std::string options;
        double seconds = uniform(500, 3000) / 1000.0;
        switch (uniform(0, 8)) {
        case 0:
            options = "--noise " + std::to_string(uniform(1, 400));
            break;
        case 1:
            options = "--split";
            break;
        case 2:
            options = "--baud 0"; // whole replies at once instead of byte by byte
            break;
        case 3:
            options = "--reply-delay " + std::to_string(uniform(20, 700));
            break;
        case 4:
            options = "--split --noise " + std::to_string(uniform(1, 100)) + " --reply-delay " +
                      std::to_string(uniform(0, 300));
            break;
        case 5:
            options = "--short";
            seconds = uniform(50, 800) / 1000.0;
            break;
        case 6:
            options = "--silent";
            seconds = uniform(50, 800) / 1000.0;
            break;
        case 7:
            options = "--ignore-first " + std::to_string(uniform(1, 3)); // a few frames unanswered
            seconds = 5;
            break;
        default:
            options = "--silent-table " + std::to_string(uniform(1, kTables));
            seconds = uniform(50, 1500) / 1000.0;
        }
        m_simulator->setFaults(options);
        m_faultOptions = options;
        m_faultsOn = true;
        if (m_current)
            m_current->underFault = true;
        m_nextSwitch = t + seconds;
    }

    // One command of the running flow; a missing answer marks the flow as one that hit a fault.
    int32_t command(const std::function<int32_t()>& transact) {
        ++m_current->commands;
        const int32_t value = transact();
        if (value == -1)
            m_current->hitFault = true;
        return value;
    }

    // A reading of table t: it must be a value the controller can hold now.
    int32_t read(int t) {
        const int32_t value = command([t] { return GetTableCounter(t); });
        if (value == -1)
            return value;
        // An empty set stands for a counter not known since a wrong reading.
        const bool wrong = !m_possible[t - 1].empty() && m_possible[t - 1].count(value) == 0;
        if (wrong) {
            ++m_wrongReadings;
            if (m_wrongReadings <= 20) { // the first few, to tell what went wrong
                std::fprintf(stderr, "wrong reading: table %d read %d, expected one of", t, value);
                for (int32_t v : m_possible[t - 1])
                    std::fprintf(stderr, " %d", v);
                std::fprintf(stderr, " (flow %zu, %s, faults %s)\n", m_run,
                             kKindNames[static_cast<int>(m_current->kind)], m_faultOptions.c_str());
            }
        }
        m_possible[t - 1] = wrong ? std::set<int32_t>{} : std::set<int32_t>{value};
        return value;
    }

    // A command that sets the counter: the controller may have taken it even when its answer was lost.
    void set(int t, int32_t value, const std::function<int32_t()>& transact) {
        if (command(transact) == -1) {
            if (!m_possible[t - 1].empty())
                m_possible[t - 1].insert(value);
        } else
            m_possible[t - 1] = {value};
    }

    void refreshPass() {
        OpenControllerPort();
        for (int t = 1; t <= kTables; ++t)
            read(t);
        CloseControllerPort();
    }

    void runFlow(Kind kind, int table, bool nested) {
        FlowRecord record{kind, table};
        record.start = now();
        record.nested = nested;
        record.afterRestart = m_restart == RestartState::Pending;
        if (record.afterRestart)
            m_restart = RestartState::Verifying;
        record.underFault = m_faultsOn;
        m_current = &record;
        ++m_run;
        switch (kind) {
        case Kind::Refresh:
            refreshPass();
            break;
        case Kind::Reset:
            OpenControllerPort();
            set(table, 0, [table] { return ResetTableCounter(table); });
            CloseControllerPort();
            break;
        case Kind::Start: {
            OpenControllerPort();
            // Only an idle table is started, as the alternative window does.
            if (read(table) == 0)
                set(table, 32000, [table] { return SetTableCounter(table, 32000); });
            CloseControllerPort();
            refreshPass();
            break;
        }
        }
        record.end = now();
        m_current = nullptr;
        if (record.afterRestart) {
            m_restartsNotRead += record.hitFault;
            m_restart = RestartState::None;
        }
        m_records.push_back(record);
    }

    // Frames the simulator saw that belong to no flow running then, or not to the one running; and
    // the flows that sent more frames than they had commands, that is, tried a command again.
    std::pair<int, int> interleavedFramesAndRetries(const std::vector<Frame>& frames) const {
        int interleaved = 0;
        std::vector<int> sent(m_records.size(), 0);
        for (const Frame& frame : frames) {
            const auto after = std::upper_bound(m_records.begin(), m_records.end(), frame.at,
                                                [](double at, const FlowRecord& r) { return at < r.start; });
            const bool inFlow = after != m_records.begin() && frame.at <= std::prev(after)->end;
            if (!frame.wellFormed || !inFlow || !belongsTo(frame, *std::prev(after)))
                ++interleaved;
            else
                ++sent[static_cast<std::size_t>(std::prev(after) - m_records.begin())];
        }
        int retried = 0;
        for (std::size_t i = 0; i < m_records.size(); ++i)
            retried += sent[i] > m_records[i].commands;
        return {interleaved, retried};
    }

    int report(double took, int fdsAtStart, int fdsAtEnd, long rssAtStart, long rssAtEnd) const {
        int counts[3] = {}, nested = 0, faulty = 0, underFault = 0;
        const FlowRecord* longest = nullptr;
        double worstShare = 0;
        bool overlapping = false;
        for (std::size_t i = 0; i < m_records.size(); ++i) {
            const FlowRecord& r = m_records[i];
            ++counts[static_cast<int>(r.kind)];
            nested += r.nested;
            faulty += r.hitFault;
            underFault += r.underFault || r.hitFault;
            if (!longest || r.end - r.start > longest->end - longest->start)
                longest = &r;
            worstShare =
                std::max(worstShare, (r.end - r.start) / (std::max(r.commands, 1) * kCommandBoundSeconds));
            overlapping |= i > 0 && r.start < m_records[i - 1].end;
        }
        const std::vector<Frame> frames = readFrameLog(m_log);
        const auto [framesInterleaved, retried] = interleavedFramesAndRetries(frames);
        const int interleaved = framesInterleaved + (overlapping ? 1 : 0);
        std::printf("flows run:                %zu in %.0f s (refresh %d, reset %d, start %d; %d asked for "
                    "inside a flow)\n",
                    m_records.size(), took, counts[0], counts[1], counts[2], nested);
        std::printf(
            "flows that hit a fault:   %d (ran while one was on); %d tried a command again, %d had a command "
            "without an answer\n",
            underFault, retried, faulty);
        if (longest)
            std::printf(
                "longest flow:             %.2f s, a %s of %d commands (bound %.1f s); the slowest flow "
                "took %.0f%% of its bound\n",
                longest->end - longest->start, kKindNames[static_cast<int>(longest->kind)], longest->commands,
                longest->commands * kCommandBoundSeconds, worstShare * 100);
        std::printf("interleaved frames:       %d of %zu frames the simulator saw\n", interleaved,
                    frames.size());
        std::printf("wrong readings:           %d\n", m_wrongReadings);
        std::printf("simulator restarts:       %d; first flow after each read the tables: %d of %d\n",
                    m_restarts, m_restarts - m_restartsNotRead, m_restarts);
        std::printf("open file descriptors:    %d at start, %d at end\n", fdsAtStart, fdsAtEnd);
        std::printf("resident memory:          %.1f MiB at start, %.1f MiB at end (%.1f MiB of it the soak's "
                    "own record of the flows)\n",
                    rssAtStart / 1024.0, rssAtEnd / 1024.0,
                    static_cast<double>(m_records.capacity() * sizeof(FlowRecord)) / (1 << 20));
        const bool sound = worstShare <= 1 && interleaved == 0 && m_wrongReadings == 0 &&
                           m_restartsNotRead == 0 && fdsAtEnd <= fdsAtStart;
        std::printf("%s\n", sound ? "soak passed" : "soak FAILED");
        return sound ? 0 : 1;
    }

    Settings m_settings;
    std::mt19937 m_random;
    std::string m_link;
    std::string m_log;
    std::unique_ptr<SimulatorProcess> m_simulator;
    ControllerFlows m_flows;

    std::size_t m_run = 0;
    std::vector<FlowRecord> m_records;
    FlowRecord* m_current = nullptr;
    std::array<std::set<int32_t>, kTables> m_possible;
    int m_wrongReadings = 0;

    std::vector<std::size_t> m_restartAt;
    std::size_t m_nextRestart = 0;
    int m_restarts = 0;
    int m_restartsNotRead = 0;
    // Pending from a restart until the next flow starts, Verifying while that flow runs.
    enum class RestartState { None, Pending, Verifying } m_restart = RestartState::None;

    bool m_faultsOn = false;
    std::string m_faultOptions;
    double m_nextSwitch = 0;
};

} // namespace

int main(int argc, char** argv) {
    const auto settings = parseSettings(argc, argv);
    if (!settings) {
        std::fprintf(stderr, "usage: soak [--flows N] [--restarts N] [--seed N]\n");
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN); // a killed simulator's control pipe must not end the soak
    std::string folder = (std::filesystem::temp_directory_path() / "quedrix-soak-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 2;
    }
    ::setenv("QUEDRIX_PORT_DIR", folder.c_str(), 1);
    int status = 1;
    {
        Soak soak(*settings, folder);
        std::printf("soak: %d flows, %d restarts, seed %u, frames logged in %s/frames.log\n", settings->flows,
                    settings->restarts, settings->seed, folder.c_str());
        std::fflush(stdout);
        status = soak.run();
    }
    if (status == 0)
        std::filesystem::remove_all(folder);
    return status;
}
