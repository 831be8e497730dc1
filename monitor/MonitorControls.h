// The controls of a monitor window, described once for every shell: each shell walks this table.
#pragma once

#include "monitor/MonitorLayout.h"
#include "monitor/MonitorMode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class ControlKind {
    Label,   // bold text in the window's face
    Button,  // a push button; its click goes to MonitorWindow::Button_Click
    Line,    // a one-pixel rule
    Picture, // a hidden icon source of the tray; the n-th picture holds icon n
};

struct WindowControl {
    std::string name;
    int index; // the element of a control array (the table number), -1 for a single control
    ControlKind kind;
    TwipRect rect;
    std::string caption;                // UTF-8
    double fontPoints;                  // 0 for a control without text
    std::optional<uint32_t> background; // 0xRRGGBB a label starts with; the window's face when empty
};

// The window of a mode: its name, inner size and controls in the order they are made.
struct WindowDescription {
    std::string name;
    int innerWidth; // twips
    int innerHeight;
    std::vector<WindowControl> controls;
};

const WindowDescription& MonitorControls(MonitorMode mode);
