// Finding the table controller on COM1 to COM20, and the one way every flow opens its port.
#pragma once

#include <cstdint>

class ControllerStatusSink;

// The COM port (1 to 20) of the controller found at start-up, 0 when none.
extern int16_t ControllerPort;

// Opens ControllerPort at 115200 baud, 8N1. True exactly when the port is ready.
bool OpenControllerPort();

// Asks COM1 to COM20 in turn for the controller's version and stops at the first that gives
// 1 or more. Leaves the port in ControllerPort (0 when none) and, when found, writes
// "Контролер на COM:<port>, Версия: <version>" to the sink; tells the sink about every port
// tried. Returns the version found, else 0.
int32_t FindController(ControllerStatusSink& mainForm);
