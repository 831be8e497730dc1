// The error register: a history of reported errors, each also appended to the log file as it comes.
#pragma once

#include "errlog/DateTimePattern.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// One reported error.
struct ErrorEntry {
    int32_t EventType = 0; // 0 user error, 1 system error, 2 other; any value is accepted
    std::string DateTime;
    int32_t ErrorCode = 0;
    std::string ErrorMessage;
    std::string Method;
};

class ErrorController {
public:
    // The present local date and time; tests give a fixed one.
    using LocalClock = std::function<std::tm()>;

    static std::tm systemLocalTime();

    explicit ErrorController(LocalClock clock = systemLocalTime,
                             DateTimeSeparators separators = UserDateTimeSeparators());

    // The one register of the process, created on first use.
    static ErrorController& shared();

    const std::string& BuildDate() const { return m_buildDate; }
    void BuildDate(const std::string& value) { m_buildDate = value; }
    const std::string& BuildVersion() const { return m_buildVersion; }
    void BuildVersion(const std::string& value) { m_buildVersion = value; }
    const std::string& LogFileName() const { return m_logFileName; }
    void LogFileName(const std::string& value) { m_logFileName = value; }

    // Appends Value, a space and CR LF to the log file.
    void DebugInfo(const std::string& Value);

    // Records an error in the log file and the history. A blank xDateTime is set to the present
    // moment, so the caller sees the time stamp.
    void Add(int32_t xEventType, int32_t xErrorCode, const std::string& xErrorMessage,
             const std::string& xMethod, std::string& xDateTime);

    std::string GetHistoryAll(bool shortForm) const;
    std::string GetHistoryByCode(int32_t xCode, bool shortForm) const;
    std::string GetHistoryByType(int32_t xType, bool shortForm) const;

    int32_t LastErrorCode() const { return m_history.back().ErrorCode; }
    const std::string& LastErrorMessage() const { return m_history.back().ErrorMessage; }

    // Appends every entry of the history to FileName as log records; the history stays.
    void SaveHistoryInFile(const std::string& FileName) const;
    void ResetErrors();

private:
    void WriteLogRecord(const ErrorEntry& entry, const std::string& filePath) const;
    void WriteDebugLine(const std::string& value) const;
    void StoreEntry(const ErrorEntry& entry);
    std::string FormatEntry(const ErrorEntry& entry, bool shortForm) const;
    static std::string EventTypeName(int32_t eventType);

    std::string formattedDateTime(const std::string& dateTime) const;
    std::string historyWhere(const std::function<bool(const ErrorEntry&)>& wanted, bool shortForm) const;

    LocalClock m_clock;
    DateTimeSeparators m_separators;
    std::string m_logFileName;
    std::string m_buildVersion;
    std::string m_buildDate;
    std::vector<ErrorEntry> m_history{1}; // slot 0 is an empty entry, never a real one
};
