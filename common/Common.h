// Small services over the operating system: INI keys, regional settings, file tests, the OS name.
#pragma once

#include <cstdint>
#include <string>

// The user's short-date pattern in Windows letters (d, dd, M, MM, yy, yyyy); filled by ReadDateSettings.
extern std::string ShortDateFormat;

// One key of an INI-style file. Texts are UTF-8 here and 8-bit code-page text in the file.
// At most size - 1 characters of the value are returned; anything missing reads as "".
std::string ReadIniValue(const std::string& section, const std::string& key, const std::string& filePath,
                         int16_t size);
void WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& filePath);
void WriteIniValue(const std::string& section, const std::string& key, long long value,
                   const std::string& filePath);

std::string GetDecimalSeparator();
void ReadDateSettings();
std::string GetOSVersionName();

// True for an ordinary, visible, readable file matching the name or wildcard pattern.
bool FileExists(const std::string& path);
