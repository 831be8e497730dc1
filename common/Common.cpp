#include "common/Common.h"

#include "common/IniFile.h"
#include "common/OsVersion.h"
#include "common/RegionalSettings.h"

std::string ShortDateFormat;

std::string ReadIniValue(const std::string& section, const std::string& key, const std::string& filePath,
                         int16_t size) {
    if (size <= 1)
        return "";
    return IniFile(filePath).read(section, key, static_cast<std::size_t>(size - 1));
}

void WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& filePath) {
    (void)IniFile(filePath).write(section, key, value);
}

void WriteIniValue(const std::string& section, const std::string& key, long long value,
                   const std::string& filePath) {
    WriteIniValue(section, key, std::to_string(value), filePath);
}

std::string GetDecimalSeparator() {
    return UserDecimalSeparator();
}

void ReadDateSettings() {
    // The profile hands out at most 24 characters; cut on a character boundary of the UTF-8 text.
    constexpr std::size_t kMaxChars = 24;
    std::string pattern = UserShortDatePattern();
    std::size_t chars = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if ((static_cast<unsigned char>(pattern[i]) & 0xC0) == 0x80)
            continue;
        if (++chars > kMaxChars) {
            pattern.resize(i);
            break;
        }
    }
    ShortDateFormat = pattern;
}

std::string GetOSVersionName() {
    const OsVersion version = QueryOsVersion();
    return OsVersionName(version.platform, version.major, version.minor);
}
