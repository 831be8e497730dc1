// Watch.state: the alternative-mode sessions the watch has seen running, and the ledger line it was
// about to append, kept across restarts by atomic replacement.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct WatchedSession {
    int table = 1;
    int64_t start = 0;    // seconds since 1970 UTC, derived from the counter
    int32_t seconds = 0;  // elapsed at the last reading while running
    int64_t lastSeen = 0; // when that reading was taken
    bool peak = false;    // band, rate and charge of that reading
    double rate = 0;
    std::string charge = "0.00";
    bool longAlerted = false; // the long-session notification has been given
    bool operator==(const WatchedSession&) const = default;
};

struct WatchStateData {
    std::vector<WatchedSession> sessions;
    std::string pending; // a ledger line (with its CRLF) that may not have reached the ledger yet
    bool operator==(const WatchStateData&) const = default;
};

std::string WatchStateText(const WatchStateData& data);
// Lines that do not read are skipped, so a damaged file loses only what it cannot tell.
WatchStateData ParseWatchState(const std::string& text);

// Reads the file; nothing for a missing file, the reason in error for one that cannot be read.
WatchStateData LoadWatchState(const std::string& path, std::string& error);
// Replaces the file atomically; false with the reason when it cannot.
bool SaveWatchState(const std::string& path, const WatchStateData& data, std::string& error);
