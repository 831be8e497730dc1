// SerialDriver: what Linux's serial drivers tell about an open terminal, behind a seam for tests,
// and the checks a port gets when it is opened.
#pragma once

#include <linux/serial.h>
#include <sys/types.h>

class SerialDriver {
public:
    virtual ~SerialDriver() = default;
    // The device number of the open file; false when it cannot be had.
    virtual bool deviceNumber(int fd, dev_t& device) = 0;
    // TIOCGSERIAL; false where the driver has no such record (a pseudo-terminal).
    virtual bool getSerial(int fd, serial_struct& info) = 0;
    // TIOCSSERIAL; false where the driver refuses the change.
    virtual bool setSerial(int fd, const serial_struct& info) = 0;
};

// The kernel's own calls.
SerialDriver& kernelSerialDriver();

// Readies a terminal just opened. False for a legacy ttyS port with no UART behind it (the driver
// reports its type as unknown): it stands for a port that does not exist. Otherwise sets
// ASYNC_LOW_LATENCY where the driver takes it, so that a USB adapter hands each reply over at
// once instead of after its latency timer, and returns true.
bool PrepareSerialLine(int fd, SerialDriver& driver);
