// The table controller's frame protocol: one request, one reply, three tries, one operation per command.
#pragma once

#include <cstdint>
#include <string>

class FPSerial;

// The one serial port object of the process, created on first use and kept until the end.
FPSerial& ControllerSerial();

// Builds one request frame (table clamped to 0..99, value to 0..99999), discards all waiting
// input and sends the frame.
void SendFrame(int32_t table, const std::string& command, int32_t value);

// Collects one 12-character reply that starts with STX, in at most 1100 polls; every tenth poll
// waits up to 10 ms for input. Returns the reply's value, or -1 when no reply came.
int32_t ReadReply();

// SendFrame and ReadReply, up to three times while the result is -1. Returns the last result.
int32_t Transact(int32_t table, const std::string& command, int32_t value);

// "V": the controller's version, or -1.
int32_t GetControllerVersion();
// "R": resets the table's counter. Returns the reply's value or -1; the windows ignore it.
int32_t ResetTableCounter(int32_t table);
// "C": sets the table's counter. Returns the reply's value or -1; the windows ignore it.
int32_t SetTableCounter(int32_t table, int32_t value);
// "G": the table's counter, or -1.
int32_t GetTableCounter(int32_t table);

void CloseControllerPort();
