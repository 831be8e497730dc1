// SerialDriver: the kernel's terminal and serial-driver calls on an open device, behind a seam for
// tests, and what opening and closing a port do with them.
#pragma once

#include <linux/serial.h>
#include <sys/types.h>
#include <termios.h>

class SerialDriver {
public:
    virtual ~SerialDriver() = default;
    // The device number of the open file; false when it cannot be had.
    virtual bool deviceNumber(int fd, dev_t& device) = 0;
    // TIOCGSERIAL; false where the driver has no such record (a pseudo-terminal).
    virtual bool getSerial(int fd, serial_struct& info) = 0;
    // TIOCSSERIAL; false where the driver refuses the change.
    virtual bool setSerial(int fd, const serial_struct& info) = 0;
    // tcgetattr; false, with errno set, for what is no terminal or a terminal that fails.
    virtual bool getAttributes(int fd, termios& settings) = 0;
    // tcsetattr, taking effect at once; false with errno set.
    virtual bool setAttributes(int fd, const termios& settings) = 0;
};

// The kernel's own calls.
SerialDriver& kernelSerialDriver();

enum class OpenedDevice {
    SerialLine,   // a terminal; its line settings were read
    NoUart,       // a legacy ttyS port whose driver knows no UART behind it: no port at all
    NotATerminal, // a regular file, a FIFO, /dev/null, ...: never a serial line
};

// What a device just opened is. The UART type is asked first: on a legacy port without one the
// driver lets the open succeed, then fails every terminal call with EIO. On a terminal, settings
// gets its line settings.
OpenedDevice InspectOpenedDevice(int fd, SerialDriver& driver, termios& settings);

// What opening a port changed, kept so that closing it gives that back.
struct LineAsFound {
    termios settings{};         // the line settings before the open
    bool lowLatencySet = false; // the open switched ASYNC_LOW_LATENCY on
};

// Sets ASYNC_LOW_LATENCY where the driver takes it, so that a USB adapter hands each reply over at
// once instead of after its latency timer; true when this switched it on.
bool SetLowLatency(int fd, SerialDriver& driver);

// Gives back what the open changed: the low-latency flag and the line settings as found. Output
// still going out is given a moment at the program's own settings, then dropped, so that restored
// flow control cannot hold the close. Failures are ignored: a line that went away keeps nothing.
void RestoreSerialLine(int fd, SerialDriver& driver, const LineAsFound& found);
