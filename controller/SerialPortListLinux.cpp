#include "controller/SerialPortListLinux.h"

#include "controller/PortDevice.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

namespace fs = std::filesystem;

namespace {

constexpr int kLastComPort = 20;

// A serial-core port whose UART type reads 0 (unknown) has no hardware: a legacy ttyS left over.
bool isPhantom(const SerialDeviceFolders& folders, const fs::path& device) {
    std::ifstream type(fs::path(folders.ttyClass) / device.filename() / "type");
    int number = -1;
    return type >> number && number == 0;
}

std::vector<fs::path> sortedEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    return entries;
}

class PortCollector {
public:
    explicit PortCollector(const SerialDeviceFolders& folders) : m_folders(folders) {}

    // The entry of the device that path leads to; nullptr when there is none or it is a phantom.
    SerialPortEntry* add(const fs::path& path) {
        std::error_code error;
        const fs::path device = fs::canonical(path, error);
        if (error || isPhantom(m_folders, device))
            return nullptr;
        SerialPortEntry& entry = m_entries[device.string()];
        entry.device = device.string();
        return &entry;
    }

    std::vector<SerialPortEntry> ordered() const {
        std::vector<SerialPortEntry> list;
        for (const auto& [device, entry] : m_entries)
            list.push_back(entry);
        // Sorted by device already; those with a COM port go first, by their lowest one.
        std::stable_sort(list.begin(), list.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
            const int first = a.comPorts.empty() ? kLastComPort + 1 : a.comPorts.front();
            const int second = b.comPorts.empty() ? kLastComPort + 1 : b.comPorts.front();
            return first < second;
        });
        return list;
    }

private:
    const SerialDeviceFolders& m_folders;
    std::map<std::string, SerialPortEntry> m_entries;
};

} // namespace

std::vector<SerialPortEntry> ListSerialPortsIn(const SerialDeviceFolders& folders) {
    PortCollector ports(folders);
    static const std::regex serialName("tty(S|USB|ACM)[0-9]+");
    for (const fs::path& path : sortedEntries(folders.dev))
        if (std::regex_match(path.filename().string(), serialName))
            ports.add(path);
    for (const fs::path& link : sortedEntries(fs::path(folders.dev) / "serial" / "by-id"))
        if (SerialPortEntry* entry = ports.add(link); entry && entry->stableName.empty())
            entry->stableName = link.string();
    for (int port = 1; port <= kLastComPort; ++port) {
        const std::string path = portDevicePath("COM" + std::to_string(port));
        if (SerialPortEntry* entry = path.empty() ? nullptr : ports.add(path))
            entry->comPorts.push_back(port);
    }
    return ports.ordered();
}

std::vector<SerialPortEntry> ListSerialPorts() {
    return ListSerialPortsIn(SerialDeviceFolders{});
}
