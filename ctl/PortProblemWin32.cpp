#include "ctl/PortProblem.h"

namespace {

// The Windows error codes CreateFile gives for a serial port.
constexpr int32_t FileNotFound = 2;
constexpr int32_t PathNotFound = 3;
constexpr int32_t AccessDenied = 5; // what a COM port already open in another program reports
constexpr int32_t SharingViolation = 32;

} // namespace

std::string DescribeOpenFailure(const PortAttempt& attempt) {
    switch (attempt.errorCode) {
    case FileNotFound:
    case PathNotFound:
        return "no such device";
    case AccessDenied:
    case SharingViolation:
        return "in use by another program";
    default:
        return "cannot open it: " + attempt.errorText;
    }
}

std::string PortDeviceOf(int16_t) {
    return "";
}
