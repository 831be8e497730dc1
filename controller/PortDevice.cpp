#include "controller/PortDevice.h"

#include "common/AppFolder.h"
#include "common/Common.h"

#include <cctype>
#include <cstdlib>
#include <optional>

namespace {

struct PortName {
    std::string kind; // "COM" or "LPT"
    int number = 0;
};

std::optional<PortName> parsePortName(const std::string& name) {
    if (name.size() < 4 || name.size() > 6)
        return std::nullopt;
    std::string kind = name.substr(0, 3);
    for (char& c : kind)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (kind != "COM" && kind != "LPT")
        return std::nullopt;
    const std::string digits = name.substr(3);
    if (digits[0] == '0')
        return std::nullopt;
    for (char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    return PortName{kind, std::stoi(digits)};
}

std::string defaultDevice(const PortName& port) {
    const int n = port.number;
    if (port.kind == "LPT")
        return "/dev/lp" + std::to_string(n - 1);
    if (n <= 4)
        return "/dev/ttyS" + std::to_string(n - 1);
    if (n <= 12)
        return "/dev/ttyUSB" + std::to_string(n - 5);
    if (n <= 20)
        return "/dev/ttyACM" + std::to_string(n - 13);
    return {};
}

} // namespace

std::string portDevicePath(const std::string& portName) {
    const auto port = parsePortName(portName);
    if (!port)
        return {};
    const std::string name = port->kind + std::to_string(port->number);
    if (const char* dir = std::getenv("QUEDRIX_PORT_DIR"); dir && *dir)
        return std::string(dir) + "/" + name;
    const std::string configured = ReadIniValue("Ports", name, AppFilePath("Quedrix.cfg"), 255);
    if (!configured.empty())
        return configured;
    return defaultDevice(*port);
}
