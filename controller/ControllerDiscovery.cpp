#include "controller/ControllerDiscovery.h"

#include "controller/Billiard.h"
#include "controller/ControllerStatusSink.h"
#include "controller/FPSerial.h"

#include <string>

int16_t ControllerPort = 0;

namespace {

constexpr int16_t kFirstPort = 1;
constexpr int16_t kLastPort = 20;
constexpr int32_t kControllerSpeed = 115200;

} // namespace

bool OpenControllerPort() {
    return ControllerSerial().OpenComm(ControllerPort, kControllerSpeed, "N") == 0;
}

int32_t FindController(ControllerStatusSink& mainForm) {
    // Kept whole: a version above 32767 counts as found and is shown as the controller gave it.
    int32_t version = 0;
    for (int16_t port = kFirstPort; port <= kLastPort; ++port) {
        ControllerPort = port;
        const bool opened = OpenControllerPort();
        if (opened)
            version = GetControllerVersion();
        mainForm.portTried(port, opened, opened ? version : -1);
        CloseControllerPort();
        if (version >= 1)
            break;
    }
    if (version < 1) {
        ControllerPort = 0;
        return 0;
    }
    mainForm.setInfoCaption("Контролер на COM:" + std::to_string(ControllerPort) +
                            ", Версия: " + std::to_string(version));
    return version;
}
