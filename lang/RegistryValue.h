// Reading one value below HKEY_LOCAL_MACHINE: the Windows registry, or on other systems an
// exported registry file standing in for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct RegistryValue {
    enum class Type { String, Dword };
    Type type = Type::String;
    std::string text;    // String: the text as stored (UTF-8)
    uint32_t number = 0; // Dword
};

// Nothing when the key or value is missing, of another type, or cannot be read.
std::optional<RegistryValue> ReadMachineRegistryValue(const std::string& keyPath,
                                                      const std::string& valueName);

// Looks the value up in the text of a registry export file ("REGEDIT4" or "Windows Registry Editor
// Version 5.00"; 8-bit, UTF-8 or UTF-16LE with byte-order mark). keyPath is below
// HKEY_LOCAL_MACHINE, e.g. "SOFTWARE\\Zentrovik\\Quedrix". Only string and dword values are read.
std::optional<RegistryValue> FindInRegistryExport(const std::string& fileBytes, const std::string& keyPath,
                                                  const std::string& valueName);

// Where systems without a registry keep the export: $QUEDRIX_REGISTRY when set, else
// /etc/quedrix/quedrix.reg.
std::string RegistryExportPath();
