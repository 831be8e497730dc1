#include "ctl/ConfigCheck.h"

#include "common/CodePage.h"
#include "common/Common.h"
#include "common/Configuration.h"
#include "common/WatchSettings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

namespace {

constexpr int16_t kValueBufferSize = 255;
constexpr int kSearchedPorts = 20; // the controller is looked for on COM1 to COM20

// The file's bytes, or the reason they cannot be read.
struct FileText {
    std::optional<std::string> bytes;
    std::string problem;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

FileText readFile(const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path file(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (error == std::errc::permission_denied)
        return {std::nullopt, "the folder " + folder.string() + " cannot be entered: " + error.message()};
    if (!fs::exists(status)) {
        if (!fs::is_directory(folder, error))
            return {std::nullopt, "the folder " + folder.string() + " does not exist"};
        return {std::nullopt, "the file does not exist: the program starts in Bulgarian with no tariff"};
    }
    if (!fs::is_regular_file(status))
        return {std::nullopt, "is not a file"};
    const std::unique_ptr<std::FILE, FileCloser> stream(std::fopen(path.c_str(), "rb"));
    if (!stream)
        return {std::nullopt, std::string("cannot be read: ") + std::strerror(errno)};
    std::string bytes;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stream.get())) > 0;)
        bytes.append(buffer, n);
    if (std::ferror(stream.get()))
        return {std::nullopt, std::string("cannot be read: ") + std::strerror(errno)};
    return {bytes, ""};
}

bool hasByteOrderMark(const std::string& bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE");
}

// The length of the UTF-8 sequence that the byte starts; 0 for a byte that starts none.
std::size_t utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
}

// True when the bytes are well-formed UTF-8 with at least one character beyond ASCII.
bool isUtf8BeyondAscii(const std::string& bytes) {
    bool beyondAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8SequenceLength(static_cast<unsigned char>(bytes[i]));
        if (length == 0 || i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return false;
        beyondAscii = beyondAscii || length > 1;
        i += length;
    }
    return beyondAscii;
}

std::optional<std::string> encodingProblem(const std::string& bytes) {
    if (hasByteOrderMark(bytes))
        return std::nullopt;
    const CodePage codePage = CodePage::active();
    const std::string asRead = codePage.toUtf8(bytes);
    if (isUtf8BeyondAscii(bytes) && asRead != bytes)
        return "is UTF-8 text without a byte-order mark: it is read in the ANSI code page " +
               codePage.name() + ", so its non-ASCII text reads wrong; save it as UTF-8 with a BOM or in " +
               codePage.name();
    if (std::count(asRead.begin(), asRead.end(), '?') > std::count(bytes.begin(), bytes.end(), '?'))
        return "holds bytes that are no characters of the ANSI code page " + codePage.name() +
               " and has no byte-order mark; they read as '?'";
    return std::nullopt;
}

class Checker {
public:
    explicit Checker(std::string path) : m_path(std::move(path)) {}

    std::vector<ConfigProblem> run() {
        const FileText text = readFile(m_path);
        if (!text.bytes)
            return {{text.problem}};
        if (const auto problem = encodingProblem(*text.bytes))
            m_problems.push_back({*problem});
        checkTariff();
        checkWatch();
        checkPorts();
        return m_problems;
    }

private:
    std::string value(const char* section, const std::string& key) const {
        return ReadIniValue(section, key, m_path, kValueBufferSize);
    }

    void checkTariff() {
        const char* keys[] = {"Peak", "OffPeak", "StartTime", "EndTime"};
        if (std::all_of(std::begin(keys), std::end(keys),
                        [&](const char* key) { return value("Tariff", key).empty(); })) {
            tariffProblem("has no [Tariff] values: every charge is 0.00");
            return;
        }
        checkRate("Peak");
        checkRate("OffPeak");
        const bool start = checkTime("StartTime");
        const bool end = checkTime("EndTime");
        const std::string startTime = value("Tariff", "StartTime");
        const std::string endTime = value("Tariff", "EndTime");
        if (start && end && startTime > endTime)
            tariffProblem("[Tariff] StartTime=" + startTime + " is after EndTime=" + endTime +
                          ": the peak period cannot run past midnight, so the peak rate never applies");
    }

    void checkRate(const char* key) {
        const std::string text = value("Tariff", key);
        const std::string line = std::string("[Tariff] ") + key + "=" + text;
        if (text.empty())
            tariffProblem(std::string("[Tariff] ") + key + " is missing or empty: the rate counts as 0");
        else if (const auto rate = RateFromText(text); !rate)
            tariffProblem(line + " does not read as a number: the rate counts as 0");
        else if (*rate < 0)
            tariffProblem(line + " is negative: charges at this rate come out negative");
    }

    // True when the time is "HH:MM": two-digit 24-hour hour, one separator, two-digit minute.
    bool checkTime(const char* key) {
        const std::string text = value("Tariff", key);
        const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9'; };
        if (text.size() == 5 && digit(0) && digit(1) && !digit(2) && digit(3) && digit(4) &&
            text.substr(0, 2) <= "23" && text.substr(3) <= "59")
            return true;
        std::string problem = std::string("[Tariff] ") + key;
        if (text.empty())
            problem += key == std::string("StartTime")
                           ? " is missing or empty: the peak period starts at midnight"
                           : " is missing or empty: the peak rate never applies";
        else
            problem += "=" + text +
                       " is not a time \"HH:MM\" with a two-digit 24-hour hour: the peak rate "
                       "compares times as text, so \"8:00\" never applies (it sorts after \"18:00\"); "
                       "write \"08:00\"";
        tariffProblem(problem);
        return false;
    }

    void checkWatch() {
        for (const WatchSettingProblem& problem : WatchSettingProblems(m_path))
            m_problems.push_back({"[Watch] " + problem.key + "=" + problem.value + " " + problem.problem});
    }

    void checkPorts() {
        for (int port = 1; port <= kSearchedPorts; ++port) {
            const std::string name = "COM" + std::to_string(port);
            const std::string device = value("Ports", name);
            if (device.empty())
                continue;
            const std::string problem = SerialDeviceProblem(device);
            if (!problem.empty())
                m_problems.push_back({"[Ports] " + name + "=" + device + " " + problem});
        }
    }

    void tariffProblem(const std::string& text) { m_problems.push_back({text, true}); }

    std::string m_path;
    std::vector<ConfigProblem> m_problems;
};

} // namespace

std::vector<ConfigProblem> ConfigProblems(const std::string& path) {
    return Checker(path).run();
}
