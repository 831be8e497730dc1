// The serial-device test of the configuration check: a terminal device that the user can open.
#include "ctl/ConfigCheckPosix.h"
#include "ctl/ConfigCheck.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string kindOf(mode_t mode) {
    if (S_ISREG(mode))
        return "a regular file";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISBLK(mode))
        return "a block device";
    return "no device";
}

} // namespace

std::string SerialDeviceProblem(const std::string& device) {
    return SerialDeviceProblem(device, kernelSerialDriver());
}

std::string SerialDeviceProblem(const std::string& device, SerialDriver& driver) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0)
        return std::string("cannot be found: ") + std::strerror(errno);
    if (!S_ISCHR(info.st_mode))
        return "is " + kindOf(info.st_mode) + ", not a serial device";
    // Opened without waiting for the line and without becoming its controlling terminal.
    const int fd = ::open(device.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY ? "" : std::string("cannot be opened: ") + std::strerror(errno);
    termios settings{};
    const OpenedDevice opened = InspectOpenedDevice(fd, driver, settings);
    ::close(fd);
    switch (opened) {
    case OpenedDevice::NoUart:
        return "leads nowhere: no serial port behind " + device + " (its driver knows no UART there)";
    case OpenedDevice::NotATerminal:
        return "is a character device but not a terminal, so not a serial device";
    case OpenedDevice::SerialLine:
        break;
    }
    return "";
}
