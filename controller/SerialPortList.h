// SerialPortList: the serial devices present, with the COM ports that map to each and its stable name.
#pragma once

#include <string>
#include <vector>

struct SerialPortEntry {
    std::string device; // the device itself, links followed (/dev/ttyUSB0)
    std::vector<int>
        comPorts;           // the COM numbers (1 to 20) that map to it, lowest first; none: no COM port does
    std::string stableName; // its name that survives re-plugging (/dev/serial/by-id/...); "" when none

    bool operator==(const SerialPortEntry&) const = default;
};

// Ordered by their lowest COM number; the devices no COM port reaches follow, by name.
std::vector<SerialPortEntry> ListSerialPorts();
