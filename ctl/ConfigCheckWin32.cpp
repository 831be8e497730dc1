// The serial-device test of the configuration check on Windows, where [Ports] is not read.
#include "ctl/ConfigCheck.h"

std::string SerialDeviceProblem(const std::string&) {
    return "is not used: on Windows the program opens the COM ports themselves (\\\\.\\COMn)";
}
