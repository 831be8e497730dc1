// FakeSerialDriver: a serial driver that answers as a chosen one would and records what was set;
// line settings pass through to the real terminal, except where the fake's driver would fail them.
#pragma once

#include "controller/SerialDriver.h"

#include <cerrno>
#include <optional>
#include <vector>

#include <sys/sysmacros.h>

class FakeSerialDriver : public SerialDriver {
public:
    std::optional<dev_t> device;           // none: the device number cannot be had
    std::optional<serial_struct> reported; // none: the driver has no serial record; sets change it
    bool refusesSet = false;
    std::vector<serial_struct> sets;

    bool deviceNumber(int, dev_t& number) override {
        if (device)
            number = *device;
        return device.has_value();
    }
    bool getSerial(int, serial_struct& info) override {
        if (reported)
            info = *reported;
        return reported.has_value();
    }
    bool setSerial(int, const serial_struct& info) override {
        sets.push_back(info);
        if (refusesSet || !reported)
            return false;
        reported = info;
        return true;
    }
    // As the 8250 driver does: a legacy port without a UART opens, then fails every terminal call.
    bool getAttributes(int fd, termios& settings) override {
        return !failsAsPhantom() && ::tcgetattr(fd, &settings) == 0;
    }
    bool setAttributes(int fd, const termios& settings) override {
        return !failsAsPhantom() && ::tcsetattr(fd, TCSANOW, &settings) == 0;
    }

private:
    bool failsAsPhantom() const {
        const bool phantom = device && ::major(*device) == 4 && ::minor(*device) >= 64 && reported &&
                             reported->type == PORT_UNKNOWN;
        if (phantom)
            errno = EIO;
        return phantom;
    }
};
