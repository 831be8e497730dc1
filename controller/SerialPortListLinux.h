// Where the Linux serial port list looks, apart so that tests can point it at folders of their own.
#pragma once

#include "controller/SerialPortList.h"

struct SerialDeviceFolders {
    std::string dev = "/dev";
    std::string ttyClass = "/sys/class/tty"; // the kernel's tty devices, each with its UART "type"
};

// The devices named ttyS<n>, ttyUSB<n> or ttyACM<n> in dev, those its serial/by-id links lead to and
// those the COM ports map to (PortDevice.h), legacy ports with no UART behind them left out.
std::vector<SerialPortEntry> ListSerialPortsIn(const SerialDeviceFolders& folders);
