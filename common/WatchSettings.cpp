#include "common/WatchSettings.h"

#include <charconv>
#include <cstdint>
#include <optional>

#include "common/Common.h"

namespace {

constexpr int16_t kValueBufferSize = 255;
constexpr int kMinInterval = 5;
constexpr int kMaxInterval = 600;
constexpr int kMaxLongSession = 24 * 60;

// A plain decimal whole number in [low, high], the whole text used (no sign, no spaces inside).
std::optional<int> wholeNumberIn(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || text[0] == '-' || error != std::errc() || at != end || value < low || value > high)
        return std::nullopt;
    return value;
}

struct RawWatchValues {
    std::string enabled;
    std::string interval;
    std::string longSession;
};

RawWatchValues readRawValues(const std::string& configPath) {
    const auto value = [&](const char* key) {
        return ReadIniValue("Watch", key, configPath, kValueBufferSize);
    };
    return {value("Enabled"), value("Interval"), value("LongSession")};
}

} // namespace

WatchSettings ReadWatchSettings(const std::string& configPath) {
    const RawWatchValues raw = readRawValues(configPath);
    WatchSettings settings;
    settings.enabled = raw.enabled == "1";
    settings.intervalSeconds = wholeNumberIn(raw.interval, kMinInterval, kMaxInterval).value_or(15);
    settings.longSessionMinutes = wholeNumberIn(raw.longSession, 0, kMaxLongSession).value_or(0);
    return settings;
}

std::vector<WatchSettingProblem> WatchValueProblems(const std::string& enabled, const std::string& interval,
                                                    const std::string& longSession) {
    std::vector<WatchSettingProblem> problems;
    if (!enabled.empty() && enabled != "0" && enabled != "1")
        problems.push_back({"Enabled", enabled, "is neither 1 (on) nor 0 (off): the watch stays off"});
    if (!interval.empty() && !wholeNumberIn(interval, kMinInterval, kMaxInterval))
        problems.push_back(
            {"Interval", interval, "is not a whole number of seconds from 5 to 600: 15 applies"});
    if (!longSession.empty() && !wholeNumberIn(longSession, 0, kMaxLongSession))
        problems.push_back({"LongSession", longSession,
                            "is not a whole number of minutes from 0 to 1440: no long-session alert"});
    return problems;
}

std::vector<WatchSettingProblem> WatchSettingProblems(const std::string& configPath) {
    const RawWatchValues raw = readRawValues(configPath);
    return WatchValueProblems(raw.enabled, raw.interval, raw.longSession);
}
