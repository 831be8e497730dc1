// A control as a window's localisation walk lists it, for comparing listings in tests.
#pragma once

#include "lang/LangWindow.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct ListedControl {
    std::string name;
    ControlType type;
    std::optional<int> index;
    bool operator==(const ListedControl&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ListedControl& c) {
    return out << c.name << '/' << static_cast<int>(c.type) << '/' << c.index.value_or(-1);
}

// The window's controls in collection order.
inline std::vector<ListedControl> ListedControls(LangWindow& window) {
    std::vector<ListedControl> listed;
    for (int i = 0; i < window.controlCount(); ++i) {
        LangControl& c = window.control(i);
        listed.push_back({c.name(), c.type(), c.arrayIndex()});
    }
    return listed;
}
