// Registry values read from the Windows registry itself.
#include "lang/RegistryValue.h"

#include "common/Win32Text.h"

#include <windows.h>

std::optional<RegistryValue> ReadMachineRegistryValue(const std::string& keyPath,
                                                      const std::string& valueName) {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str(), &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::optional<RegistryValue> result;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        if (type == REG_SZ) {
            std::string buffer(size, ' ');
            if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS)
                result = RegistryValue{RegistryValue::Type::String,
                                       Utf8FromAnsi(buffer.substr(0, buffer.find('\0'))), 0};
        } else if (type == REG_DWORD && size == sizeof(DWORD)) {
            DWORD number = 0;
            if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number),
                                 &size) == ERROR_SUCCESS)
                result = RegistryValue{RegistryValue::Type::Dword, {}, number};
        }
    }
    RegCloseKey(key);
    return result;
}
