// The simulator's settings and the command line that gives them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct SimOptions {
    static constexpr int Tables = 8;

    std::string link;                       // symlink published to the pseudo-terminal's slave side
    int32_t version = 1;                    // answered to "V"
    std::array<int32_t, Tables> counters{}; // initial counters of tables 1 to 8
    int32_t tickMs = 1000;                  // counters go down by one each tick; 0 keeps them still
    int32_t baud = 115200;                  // bytes one at a time, 10 bits each; 0 sends replies whole

    bool silent = false;            // never answer
    std::set<int32_t> silentTables; // never answer frames for these tables
    int32_t noise = 0;              // stray bytes sent before each reply's STX
    bool shortReply = false;        // drop the last byte of each reply
    bool badValue = false;          // value field "00abc"
    int32_t replyDelayMs = 0;       // pause before each reply
    bool split = false;             // reply in pieces with gaps between them
    int32_t ignoreFirst = 0;        // leave the first N frames unanswered
    std::string logPath;            // one line per received frame
};

// The outcome of reading a command line: options, a request for help, or a one-line error.
struct SimCommandLine {
    std::optional<SimOptions> options;
    bool help = false;
    std::string error;
};

// The words after the program name.
SimCommandLine ParseSimOptions(const std::vector<std::string>& args);

std::string SimUsage();
