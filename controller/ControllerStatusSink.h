// What the controller discovery needs from the window: somewhere to write its status line.
#pragma once

#include <cstdint>
#include <string>

class ControllerStatusSink {
public:
    virtual ~ControllerStatusSink() = default;
    // The window's status label (lblInfo); the text is UTF-8.
    virtual void setInfoCaption(const std::string& text) = 0;
    // After each port tried, before it is closed: whether it opened, and the version it answered
    // (-1 for none). The serial line still holds the failure of an open that did not succeed.
    virtual void portTried(int16_t /*port*/, bool /*opened*/, int32_t /*version*/) {}
};
