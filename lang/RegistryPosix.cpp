// Registry values from the export file that stands in for the registry on this system.
#include "lang/RegistryValue.h"

#include <fstream>
#include <iterator>

std::optional<RegistryValue> ReadMachineRegistryValue(const std::string& keyPath,
                                                      const std::string& valueName) {
    std::ifstream file(RegistryExportPath(), std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad())
        return std::nullopt;
    return FindInRegistryExport(bytes, keyPath, valueName);
}
