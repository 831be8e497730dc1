#include "controller/SerialDriver.h"

#include <chrono>
#include <thread>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// The legacy serial ports ttyS0 to ttyS191: major 4, minors 64 to 255 (below 64 are the consoles).
constexpr unsigned kTtyMajor = 4;
constexpr unsigned kFirstTtySMinor = 64;

// How long output still queued at close may take to go out; a frame at 115200 baud takes 1 ms.
constexpr auto kDrainTime = std::chrono::milliseconds(100);

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
    bool getAttributes(int fd, termios& settings) override { return ::tcgetattr(fd, &settings) == 0; }
    bool setAttributes(int fd, const termios& settings) override {
        return ::tcsetattr(fd, TCSANOW, &settings) == 0;
    }
};

// Waits a little for the output queue to empty, then drops what is left.
void drainOutput(int fd) {
    const auto end = std::chrono::steady_clock::now() + kDrainTime;
    for (int queued = 0; ::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0;) {
        if (std::chrono::steady_clock::now() >= end)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::tcflush(fd, TCOFLUSH);
}

} // namespace

SerialDriver& kernelSerialDriver() {
    static KernelSerialDriver driver;
    return driver;
}

OpenedDevice InspectOpenedDevice(int fd, SerialDriver& driver, termios& settings) {
    // USB adapters report no UART type either; only a legacy port without one has no hardware. The
    // device number goes first, so that no other device ever gets the serial driver's request.
    dev_t device = 0;
    serial_struct info{};
    if (driver.deviceNumber(fd, device) && isLegacySerialPort(device) && driver.getSerial(fd, info) &&
        info.type == PORT_UNKNOWN)
        return OpenedDevice::NoUart;
    return driver.getAttributes(fd, settings) ? OpenedDevice::SerialLine : OpenedDevice::NotATerminal;
}

bool SetLowLatency(int fd, SerialDriver& driver) {
    serial_struct info{};
    if (!driver.getSerial(fd, info) || (info.flags & ASYNC_LOW_LATENCY) != 0)
        return false;
    info.flags |= ASYNC_LOW_LATENCY;
    return driver.setSerial(fd, info); // a driver without the setting keeps its own pace
}

void RestoreSerialLine(int fd, SerialDriver& driver, const LineAsFound& found) {
    if (serial_struct info{}; found.lowLatencySet && driver.getSerial(fd, info)) {
        info.flags &= ~ASYNC_LOW_LATENCY;
        driver.setSerial(fd, info);
    }
    drainOutput(fd);
    driver.setAttributes(fd, found.settings);
}
