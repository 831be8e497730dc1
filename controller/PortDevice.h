// PortDevice: which device file stands for a Windows port name such as COM3 or LPT1 (POSIX systems;
// Windows opens \\.\COM3 itself).
#pragma once

#include <string>

// The device path for "COMn" or "LPTn" (letters in any case, n from 1, no leading zeros); "" when none.
// $QUEDRIX_PORT_DIR/<name> when that variable is set, else key <name> of [Ports] in Quedrix.cfg,
// else COM1-4 -> /dev/ttyS0-3, COM5-12 -> /dev/ttyUSB0-7, COM13-20 -> /dev/ttyACM0-7, LPTn -> /dev/lp(n-1).
std::string portDevicePath(const std::string& portName);
