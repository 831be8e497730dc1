// PortProblem: why the technician's tool could not use a port, said in one line (platform files).
#pragma once

#include <cstdint>
#include <string>

// One port as the controller discovery left it.
struct PortAttempt {
    std::string device;      // the device the port name maps to; "" when it maps to none
    bool opened = false;     // the port opened and took its line settings
    int32_t version = -1;    // the version answered when opened; -1 for no answer
    int32_t errorCode = 0;   // the serial line's recorded failure when not opened
    std::string errorSource; // e.g. "CommOpen (CreateFile)"
    std::string errorText;
};

// "no such device", "no permission ... (join the dialout group ...)", "in use by another program
// (pid N, name)", "opened, but no controller answered", ...; never ends with a line break.
std::string DescribePortProblem(const PortAttempt& attempt);

// The platform's reading of a failed CreateFile, from its error code (platform files).
std::string DescribeOpenFailure(const PortAttempt& attempt);

// The device COM<port> stands for; "" where the port name is the device itself (Windows).
std::string PortDeviceOf(int16_t port);
