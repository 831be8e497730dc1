#include "controller/SerialPortList.h"

#include <windows.h>

// Windows names its serial ports COMn itself; a port is present when the name leads to a device.
std::vector<SerialPortEntry> ListSerialPorts() {
    std::vector<SerialPortEntry> ports;
    for (int port = 1; port <= 20; ++port) {
        const std::string name = "COM" + std::to_string(port);
        char target[1024];
        if (QueryDosDeviceA(name.c_str(), target, sizeof target) != 0)
            ports.push_back({target, {port}, ""});
    }
    return ports;
}
