#include "SerialDriver.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// The legacy serial ports ttyS0 to ttyS191: major 4, minors 64 to 255 (below 64 are the consoles).
constexpr unsigned kTtyMajor = 4;
constexpr unsigned kFirstTtySMinor = 64;

bool isLegacySerialPort(dev_t device) {
    return ::major(device) == kTtyMajor && ::minor(device) >= kFirstTtySMinor;
}

class KernelSerialDriver : public SerialDriver {
public:
    bool deviceNumber(int fd, dev_t& device) override {
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
            return false;
        device = info.st_rdev;
        return true;
    }
    bool getSerial(int fd, serial_struct& info) override { return ::ioctl(fd, TIOCGSERIAL, &info) == 0; }
    bool setSerial(int fd, const serial_struct& info) override {
        return ::ioctl(fd, TIOCSSERIAL, &info) == 0;
    }
};

} // namespace

SerialDriver& kernelSerialDriver() {
    static KernelSerialDriver driver;
    return driver;
}

bool PrepareSerialLine(int fd, SerialDriver& driver) {
    serial_struct info{};
    if (!driver.getSerial(fd, info))
        return true;
    // USB adapters report no type either; only a legacy port without one has no hardware.
    dev_t device = 0;
    if (info.type == PORT_UNKNOWN && driver.deviceNumber(fd, device) && isLegacySerialPort(device))
        return false;
    if ((info.flags & ASYNC_LOW_LATENCY) == 0) {
        info.flags |= ASYNC_LOW_LATENCY;
        driver.setSerial(fd, info); // a driver without the setting keeps its own pace
    }
    return true;
}
