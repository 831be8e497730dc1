// A window as the localisation sees it: its name, caption and control collection.
#pragma once

#include "lang/LangControl.h"

#include <string>

class LangWindow {
public:
    virtual ~LangWindow() = default;

    virtual std::string name() const = 0;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;

    // The controls in collection order, positions 0 to controlCount() - 1.
    virtual int controlCount() const = 0;
    virtual LangControl& control(int position) = 0;
};
