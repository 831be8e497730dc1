// The [Watch] section of Quedrix.cfg: background reading, the ledger and the alerts, off by default.
#pragma once

#include <string>
#include <vector>

struct WatchSettings {
    bool enabled = false;       // Enabled=1, and nothing else, switches the watch on
    int intervalSeconds = 15;   // Interval: seconds between two background refresh passes, 5 to 600
    int longSessionMinutes = 0; // LongSession: minutes after which an alternative-mode session is
                                // reported once, 0 to 1440; 0 reports none
};

// The [Watch] values of the configuration file; a missing, unreadable or out-of-range value gives
// its default (off, 15 seconds, no long-session alert).
WatchSettings ReadWatchSettings(const std::string& configPath);

// A [Watch] value that the program does not take as it is written, and what it uses instead.
struct WatchSettingProblem {
    std::string key;     // "Enabled", "Interval" or "LongSession"
    std::string value;   // the value as the file holds it
    std::string problem; // the end of a sentence: "is not a whole number from 5 to 600: 15 applies"
};

// The problems of the raw values (empty text for a missing key, which is no problem), key by key in
// the order Enabled, Interval, LongSession.
std::vector<WatchSettingProblem> WatchValueProblems(const std::string& enabled, const std::string& interval,
                                                    const std::string& longSession);

// The problems of the [Watch] section of the configuration file.
std::vector<WatchSettingProblem> WatchSettingProblems(const std::string& configPath);
