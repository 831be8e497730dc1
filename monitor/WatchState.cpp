#include "monitor/WatchState.h"

#include "common/FileStore.h"
#include "monitor/Ledger.h"

#include <charconv>
#include <sstream>

namespace {

constexpr char kSessionTag[] = "session";
constexpr char kPendingTag[] = "pending,";

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t comma; (comma = line.find(',', from)) != std::string::npos; from = comma + 1)
        parts.push_back(line.substr(from, comma - from));
    parts.push_back(line.substr(from));
    return parts;
}

template <typename Number> bool number(const std::string& text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::optional<WatchedSession> sessionFrom(const std::string& line) {
    const std::vector<std::string> f = fields(line);
    WatchedSession s;
    int alerted = 0;
    if (f.size() != 9 || f[0] != kSessionTag || !number(f[1], s.table) || s.table < 1 || s.table > 8 ||
        !number(f[2], s.start) || !number(f[3], s.seconds) || !number(f[4], s.lastSeen) ||
        (f[5] != "peak" && f[5] != "off-peak") || !number(f[6], s.rate) || !number(f[8], alerted))
        return std::nullopt;
    s.peak = f[5] == "peak";
    s.charge = f[7];
    s.longAlerted = alerted != 0;
    return s;
}

} // namespace

std::string WatchStateText(const WatchStateData& data) {
    std::string text;
    for (const WatchedSession& s : data.sessions)
        text += std::string(kSessionTag) + "," + std::to_string(s.table) + "," + std::to_string(s.start) +
                "," + std::to_string(s.seconds) + "," + std::to_string(s.lastSeen) + "," +
                (s.peak ? "peak" : "off-peak") + "," + RateText(s.rate) + "," + s.charge + "," +
                (s.longAlerted ? "1" : "0") + "\n";
    if (!data.pending.empty())
        text += kPendingTag + data.pending.substr(0, data.pending.find_first_of("\r\n")) + "\n";
    return text;
}

WatchStateData ParseWatchState(const std::string& text) {
    WatchStateData data;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(kPendingTag))
            data.pending = line.substr(sizeof kPendingTag - 1) + "\r\n";
        else if (const auto session = sessionFrom(line))
            data.sessions.push_back(*session);
    }
    return data;
}

WatchStateData LoadWatchState(const std::string& path, std::string& error) {
    const FileStore::ReadResult file = FileStore::read(path);
    if (file.exists && !file.ok)
        error = file.error;
    return file.ok ? ParseWatchState(file.bytes) : WatchStateData{};
}

bool SaveWatchState(const std::string& path, const WatchStateData& data, std::string& error) {
    const std::string text = WatchStateText(data);
    const FileStore::ReplaceResult result = FileStore::replace(path, [&](std::string& bytes) {
        if (bytes == text)
            return false;
        bytes = text;
        return true;
    });
    error = result.error;
    return result.status != FileStore::ReplaceStatus::Failed;
}
