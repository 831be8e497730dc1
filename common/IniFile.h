// One INI-style file as the program sees it: UTF-8 names and values, the file's own encoding on disk.
#pragma once

#include <cstddef>
#include <string>

#include "common/IniWriteResult.h"

class IniFile {
public:
    explicit IniFile(std::string path) : m_path(std::move(path)) {}

    // The value, at most maxChars characters of the file's text; "" when anything is missing or the
    // file cannot be read (also for want of memory).
    std::string read(const std::string& section, const std::string& key, std::size_t maxChars) const;

    // Sets one key, creating the file or section when needed, in the file's own encoding. Refuses
    // names or values that would forge lines; any failure (a read-only file, want of memory)
    // leaves the file as it was.
    IniWriteResult write(const std::string& section, const std::string& key, const std::string& value) const;

private:
    std::string m_path;
};
