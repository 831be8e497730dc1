// The table controller's frame protocol: one request, one reply, three tries, one operation per command.
#pragma once

#include <cstdint>
#include <string>

class FPSerial;

// The one serial port object of the process, created on first use and kept until the end.
FPSerial& ControllerSerial();

// Builds one request frame (table clamped to 0..99, value to 0..99999), discards all waiting
// input and sends the frame; its reply window starts as it goes out.
void SendFrame(int32_t table, const std::string& command, int32_t value);

// Collects one reply: characters before the first STX are dropped, the 12 characters from that
// STX are the reply, the rest of the input is flushed. Waits until 1.1 s after the latest frame's
// send, however the bytes arrive, and takes the reply as soon as its twelfth character is in;
// returns at once when the port is not open or its line went away. Returns the reply's value, or
// -1 when no reply came.
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
