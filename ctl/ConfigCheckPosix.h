// The serial-device test of the configuration check on Linux, with the serial driver it asks.
#pragma once

#include "controller/SerialDriver.h"

#include <string>

// SerialDeviceProblem (ConfigCheck.h), asking driver what the device is once it is open.
std::string SerialDeviceProblem(const std::string& device, SerialDriver& driver);
