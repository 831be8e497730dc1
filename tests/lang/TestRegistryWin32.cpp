#include "tests/lang/TestRegistry.h"

#include <windows.h>

#include <stdexcept>

namespace {

bool keyExists(const std::string& keyPath) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// The outermost key of keyPath that does not exist yet, or "" when keyPath exists.
std::string firstMissingKey(const std::string& keyPath) {
    for (std::size_t end = keyPath.find('\\');; end = keyPath.find('\\', end + 1)) {
        const std::string prefix = keyPath.substr(0, end);
        if (!keyExists(prefix))
            return prefix;
        if (end == std::string::npos)
            return "";
    }
}

void setValue(const std::string& keyPath, const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create HKEY_LOCAL_MACHINE\\" + keyPath);
    const LSTATUS status = ::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot set " + name);
}

} // namespace

TestRegistry::TestRegistry(std::string standInFile) : m_standInFile(std::move(standInFile)) {}

// Removes the keys this object created, whole; a value in a key that was there before goes alone.
TestRegistry::~TestRegistry() {
    for (auto entry = m_entries.rbegin(); entry != m_entries.rend(); ++entry) {
        const std::size_t tab = entry->find('\t');
        if (tab == std::string::npos)
            ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, entry->c_str());
        else
            ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, entry->substr(0, tab).c_str(),
                                 entry->substr(tab + 1).c_str());
    }
}

void TestRegistry::setString(const std::string& keyPath, const std::string& name, const std::string& text) {
    const std::string missing = firstMissingKey(keyPath);
    m_entries.push_back(missing.empty() ? keyPath + "\t" + name : missing);
    setValue(keyPath, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void TestRegistry::setDword(const std::string& keyPath, const std::string& name, uint32_t value) {
    const std::string missing = firstMissingKey(keyPath);
    m_entries.push_back(missing.empty() ? keyPath + "\t" + name : missing);
    const DWORD data = value;
    setValue(keyPath, name, REG_DWORD, &data, sizeof data);
}
