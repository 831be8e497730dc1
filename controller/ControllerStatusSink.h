// What the controller discovery needs from the window: somewhere to write its status line.
#pragma once

#include <string>

class ControllerStatusSink {
public:
    virtual ~ControllerStatusSink() = default;
    // The window's status label (lblInfo); the text is UTF-8.
    virtual void setInfoCaption(const std::string& text) = 0;
};
