#include "errlog/ErrorController.h"

#include "common/AppFolder.h"
#include "common/CodePage.h"
#include "common/Common.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

const std::string kLineEnd = "\r\n";

// Opens the file for appending, writes the text in the code page and closes it. Any failure
// loses the text for the file and is not reported.
void appendToFile(const std::string& filePath, const std::string& text) {
    try {
        // The path is UTF-8 text; on Windows a narrow name would be read in the ANSI code page.
        const std::filesystem::path path(std::u8string(filePath.begin(), filePath.end()));
        std::ofstream file(path, std::ios::binary | std::ios::app);
        if (file)
            file << CodePage::active().toEightBit(text);
    } catch (...) {
    }
}

bool isBlank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

std::tm ErrorController::systemLocalTime() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (local == nullptr)
        throw std::runtime_error("local time unavailable");
    return *local;
}

ErrorController::ErrorController(LocalClock clock, DateTimeSeparators separators)
    : m_clock(std::move(clock)), m_separators(std::move(separators)),
      m_logFileName(AppFilePath("Error.log")) {}

ErrorController& ErrorController::shared() {
    static ErrorController instance;
    return instance;
}

void ErrorController::DebugInfo(const std::string& Value) {
    WriteDebugLine(Value);
}

void ErrorController::Add(int32_t xEventType, int32_t xErrorCode, const std::string& xErrorMessage,
                          const std::string& xMethod, std::string& xDateTime) {
    ErrorEntry entry;
    entry.EventType = xEventType;
    entry.ErrorCode = xErrorCode;
    entry.ErrorMessage = xErrorMessage;
    if (isBlank(xDateTime)) {
        try {
            xDateTime = FormatDateTime(m_clock(), DateTimePattern(), m_separators);
        } catch (...) {
        }
    }
    entry.DateTime = xDateTime;
    entry.Method = xMethod;
    // The file gets the record first; a failed write still leaves it in the history.
    WriteLogRecord(entry, m_logFileName);
    StoreEntry(entry);
}

std::string ErrorController::GetHistoryAll(bool shortForm) const {
    return historyWhere([](const ErrorEntry&) { return true; }, shortForm);
}

std::string ErrorController::GetHistoryByCode(int32_t xCode, bool shortForm) const {
    return historyWhere([xCode](const ErrorEntry& entry) { return entry.ErrorCode == xCode; }, shortForm);
}

std::string ErrorController::GetHistoryByType(int32_t xType, bool shortForm) const {
    return historyWhere([xType](const ErrorEntry& entry) { return entry.EventType == xType; }, shortForm);
}

void ErrorController::SaveHistoryInFile(const std::string& FileName) const {
    for (size_t slot = 1; slot < m_history.size(); ++slot)
        WriteLogRecord(m_history[slot], FileName);
}

void ErrorController::ResetErrors() {
    m_history.resize(1);
}

void ErrorController::WriteLogRecord(const ErrorEntry& entry, const std::string& filePath) const {
    std::string record;
    try {
        const std::string lines[] = {
            "User OS Version: " + GetOSVersionName(),
            "Build version:   " + m_buildVersion + " (build " + m_buildDate + ")",
            "Date & Time:     " + formattedDateTime(entry.DateTime),
            "Error code:      " + std::to_string(entry.ErrorCode),
            "Error message:   " + entry.ErrorMessage,
            "Method Name:     " + entry.Method,
            "Type             " + EventTypeName(entry.EventType),
            std::string(68, '-'),
            " ",
        };
        for (const std::string& line : lines)
            record += line + kLineEnd;
    } catch (...) {
        return;
    }
    appendToFile(filePath, record);
}

void ErrorController::WriteDebugLine(const std::string& value) const {
    appendToFile(m_logFileName, value + " " + kLineEnd);
}

void ErrorController::StoreEntry(const ErrorEntry& entry) {
    m_history.push_back(entry);
}

std::string ErrorController::FormatEntry(const ErrorEntry& entry, bool shortForm) const {
    const std::string dateTime = formattedDateTime(entry.DateTime);
    const std::string code = std::to_string(entry.ErrorCode);
    if (shortForm)
        return "Date/Time: " + dateTime + "  Code: " + code + "  Message: " + entry.ErrorMessage;
    return "Date/Time: " + dateTime + kLineEnd + "Code:      " + code + kLineEnd +
           "Message:   " + entry.ErrorMessage + kLineEnd + "Method:    " + entry.Method + kLineEnd +
           "Type:      " + EventTypeName(entry.EventType) + kLineEnd + kLineEnd;
}

std::string ErrorController::EventTypeName(int32_t eventType) {
    switch (eventType) {
    case 0:
        return "User error";
    case 1:
        return "System error";
    case 2:
        return "Other";
    default:
        return "Unkonown"; // spelled as the log format has always had it
    }
}

// A stored date-time that reads as a moment under the pattern is written in the pattern's form;
// any other text is written as it stands.
std::string ErrorController::formattedDateTime(const std::string& dateTime) const {
    const std::string pattern = DateTimePattern();
    const auto moment = ParseDateTime(dateTime, pattern, m_separators);
    return moment ? FormatDateTime(*moment, pattern, m_separators) : dateTime;
}

std::string ErrorController::historyWhere(const std::function<bool(const ErrorEntry&)>& wanted,
                                          bool shortForm) const {
    std::string text;
    for (size_t slot = 1; slot < m_history.size(); ++slot) {
        if (wanted(m_history[slot]))
            text += FormatEntry(m_history[slot], shortForm);
    }
    return text;
}
