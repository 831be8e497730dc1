// Values below HKEY_LOCAL_MACHINE for one test: in the registry stand-in file on POSIX systems, in
// the registry itself on Windows (platform files beside this one). Removed again at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TestRegistry {
public:
    // standInFile: where POSIX systems look for the registry export (QUEDRIX_REGISTRY points there).
    explicit TestRegistry(std::string standInFile);
    ~TestRegistry();
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    void setString(const std::string& keyPath, const std::string& name, const std::string& text);
    void setDword(const std::string& keyPath, const std::string& name, uint32_t value);

private:
    std::string m_standInFile;
    std::vector<std::string> m_entries; // POSIX: the export's lines; Windows: keys and values to remove
};
