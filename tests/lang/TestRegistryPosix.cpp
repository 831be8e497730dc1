#include "tests/lang/TestRegistry.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// One key and one value in the layout of a registry export.
std::string exportLines(const std::string& keyPath, const std::string& name, const std::string& data) {
    return "[HKEY_LOCAL_MACHINE\\" + keyPath + "]\r\n\"" + name + "\"=" + data + "\r\n";
}

void writeExport(const std::string& path, const std::vector<std::string>& entries) {
    std::ofstream file(path, std::ios::binary);
    file << "REGEDIT4\r\n\r\n";
    for (const std::string& entry : entries)
        file << entry;
}

} // namespace

TestRegistry::TestRegistry(std::string standInFile) : m_standInFile(std::move(standInFile)) {}

TestRegistry::~TestRegistry() {
    std::error_code ignored;
    std::filesystem::remove(m_standInFile, ignored);
}

void TestRegistry::setString(const std::string& keyPath, const std::string& name, const std::string& text) {
    m_entries.push_back(exportLines(keyPath, name, "\"" + text + "\""));
    writeExport(m_standInFile, m_entries);
}

void TestRegistry::setDword(const std::string& keyPath, const std::string& name, uint32_t value) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "dword:%08x", value);
    m_entries.push_back(exportLines(keyPath, name, hex));
    writeExport(m_standInFile, m_entries);
}
